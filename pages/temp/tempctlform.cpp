#include "tempctlform.h"
#include "ui_tempctlform.h"

#include "devicerequest.h"
#include "module.h"
#include "prompts.h"
#include "tcpthread.h"
#include "tempctl_input_form.h"
#include "tempctl_manual_dialog.h"
#include "tempctl_pid_form.h"
#include "tempctlblocks.h"
#include "tempcurvedialog.h"

#include <QTimer>

namespace {

// Pause between the two blocks of one transfer.
constexpr int blockGapMs = 100;

struct Upload
{
    int result = -1;
    QByteArray data;
};

int downloadBlock(const QString &ip, int subplug, const QByteArray &block, const std::atomic<bool> &stop)
{
    TCPThread worker;
    worker.cancel = &stop;
    return worker.DownPlugConfig(ip, TempCtlForm::plug, subplug, block);
}

Upload uploadBlock(const QString &ip, int subplug, const std::atomic<bool> &stop)
{
    TCPThread worker;
    worker.cancel = &stop;
    Upload upload;
    upload.result = worker.UploadPlugConfig(ip, TempCtlForm::plug, subplug, upload.data);
    return upload;
}

// Opens the page's window of type W, or shows it again when it was hidden with the page; its
// button stays off while the window exists.
template <class W>
void openWindow(
    TempCtlForm *page, modulebase *owner, QPointer<QDialog> &window, QPushButton *button, void (TempCtlForm::*closed)())
{
    if (window) {
        window->show();
        button->setEnabled(false);
        return;
    }
    QWidget *main = menubase::mainWindow();
    if (!main)
        return;
    auto *dialog = new W(owner, main);
    window = dialog;
    dialog->setModule(owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    QObject::connect(dialog, &W::closeDialog, page, closed);
    dialog->show();
    button->setEnabled(false);
}

} // namespace

TempCtlForm::TempCtlForm(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::TempCtlForm)
{
    title = tr("PID设置");
    buildUnlessDeferred();
}

void TempCtlForm::buildPage()
{
    ui->setupUi(this);
    ui->tabWidget->setTabsClosable(false);
    // The coupler of a scan that ended before the first show.
    if (pendingCoupler)
        setOwner(pendingCoupler);
}

TempCtlForm::~TempCtlForm()
{
    // The debug window outlives the page (the main window owns it) but not its module.
    if (auto *debug = qobject_cast<Tempctl_Manual_Dialog *>(manualDialog.data())) {
        debug->disconnect(this);
        debug->ownerGone();
    }
    if (curveDialog) {
        curveDialog->disconnect(this);
        curveDialog->close();
        delete curveDialog;
    }
    delete ui;
}

int TempCtlForm::attachModule(modulebase *module)
{
    owner = module;
    return 0;
}

void TempCtlForm::setOwner(modulebase *coupler)
{
    // Built once: a later end of scan keeps the tables and what the user typed into them.
    if (inputForm || !coupler || coupler->kind != 0)
        return;
    if (!isBuilt()) {
        pendingCoupler = coupler;
        return;
    }
    inputForm = new Tempctl_input_Form(ui->tabWidget, owner);
    ui->tabWidget->addTab(inputForm, tr("输入输出设置"));
    pidForm = new Tempctl_PID_Form(ui->tabWidget, owner);
    ui->tabWidget->addTab(pidForm, tr("PID参数设置"));
    inputForm->fillChannelChoices(dynamic_cast<module *>(coupler));
}

void TempCtlForm::updatePage()
{
    if (!isBuilt())
        return;
    ui->pushButton->setEnabled(true);
}

void TempCtlForm::resetPage()
{
    if (curveDialog)
        curveDialog->hide();
}

bool TempCtlForm::canTransfer()
{
    ensureBuilt();
    if (!inputForm || !pidForm) {
        Prompts::warning(this, tr("错误"), tr("此页没有参数表：请扫描模块后再传输"));
        return false;
    }
    // The blocks travel only on the network; a COM module would be told of a transfer that never was.
    if (!owner || owner->connType == modulebase::CONNEST_COM) {
        Prompts::warning(this, tr("错误"), tr("参数表只能与网络连接的模块传输"));
        return false;
    }
    return true;
}

void TempCtlForm::setTransferring(bool busy)
{
    ui->pushButton_4->setEnabled(!busy);
    ui->pushButton_5->setEnabled(!busy);
}

bool TempCtlForm::downloadParams(std::function<void(bool)> done)
{
    if (!canTransfer())
        return false;
    const QString ip = owner->ipAddress;
    const QByteArray io = inputForm->buildBlock();
    setTransferring(true);
    DeviceRequest::run<int>(
        this, [ip, io](const std::atomic<bool> &stop) { return downloadBlock(ip, ioSubplug, io, stop); },
        [this, ip, done](int result) {
            if (result < 0) {
                setTransferring(false);
                Prompts::critical(this, tr("下载错误"), tr("下载PID的输入输出设置错误 IP:%1").arg(ip));
                if (done)
                    done(false);
                return;
            }
            QTimer::singleShot(blockGapMs, this, [this, ip, done]() {
                const QByteArray pid = pidForm->buildBlock();
                DeviceRequest::run<int>(
                    this, [ip, pid](const std::atomic<bool> &stop) { return downloadBlock(ip, pidSubplug, pid, stop); },
                    [this, ip, done](int result) {
                        setTransferring(false);
                        if (result < 0)
                            Prompts::critical(this, tr("下载错误"), tr("下载PID参数错误 IP:%1").arg(ip));
                        if (done)
                            done(result >= 0);
                    });
            });
        });
    return true;
}

bool TempCtlForm::uploadParams(std::function<void(bool)> done)
{
    if (!canTransfer())
        return false;
    const QString ip = owner->ipAddress;
    setTransferring(true);
    DeviceRequest::run<Upload>(
        this, [ip](const std::atomic<bool> &stop) { return uploadBlock(ip, ioSubplug, stop); },
        [this, ip, done](const Upload &io) {
            // A block shorter than the table is no block of this table.
            if (io.result < 0 || !inputForm->parseBlock(io.data)) {
                setTransferring(false);
                Prompts::critical(this, tr("上传失败"), tr("上传输入输出设置错误 IP:%1").arg(ip));
                if (done)
                    done(false);
                return;
            }
            QTimer::singleShot(blockGapMs, this, [this, ip, done]() {
                DeviceRequest::run<Upload>(
                    this, [ip](const std::atomic<bool> &stop) { return uploadBlock(ip, pidSubplug, stop); },
                    [this, ip, done](const Upload &pid) {
                        setTransferring(false);
                        const bool ok = pid.result >= 0 && pidForm->parseBlock(pid.data);
                        if (!ok)
                            Prompts::critical(this, tr("上传失败"), tr("上传PID参数错误 IP:%1").arg(ip));
                        if (done)
                            done(ok);
                    });
            });
        });
    return true;
}

void TempCtlForm::on_pushButton_4_clicked()
{
    const QString ip = owner ? owner->ipAddress : QString();
    downloadParams([this, ip](bool ok) {
        if (ok)
            Prompts::information(this, tr("下载完成"), tr("下载PID参数与报警配置完成 IP:%1").arg(ip));
    });
}

void TempCtlForm::on_pushButton_5_clicked()
{
    const QString ip = owner ? owner->ipAddress : QString();
    uploadParams([this, ip](bool ok) {
        if (ok)
            Prompts::information(this, tr("读取完成"), tr("读取PID参数与报警配置完成 IP:%1").arg(ip));
    });
}

void TempCtlForm::on_pushButton_clicked()
{
    openWindow<TempCurveDialog>(this, owner, curveDialog, ui->pushButton, &TempCtlForm::colse_curvedialogs);
}

void TempCtlForm::on_pushButton_manual_clicked()
{
    openWindow<Tempctl_Manual_Dialog>(
        this, owner, manualDialog, ui->pushButton_manual, &TempCtlForm::colse_manualdialogs);
}

void TempCtlForm::colse_curvedialogs()
{
    // The window deletes itself once closed.
    if (curveDialog)
        curveDialog->disconnect(this);
    curveDialog = nullptr;
    ui->pushButton->setEnabled(true);
}

void TempCtlForm::colse_manualdialogs()
{
    // The window deletes itself once closed.
    if (manualDialog)
        manualDialog->disconnect(this);
    manualDialog = nullptr;
    ui->pushButton_manual->setEnabled(true);
}
