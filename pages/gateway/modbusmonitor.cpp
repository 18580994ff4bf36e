#include "modbusmonitor.h"

#include "endpoints.h"
#include "modbusmonitorcodec.h"
#include "modulebase.h"
#include "polllink.h"
#include "prompts.h"
#include "ui_modbusmonitor.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextBlockUserData>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <climits>

namespace {
constexpr int keepAliveMs = 400;
const QByteArray netKeepAlive("IAMOK");
const QByteArray serialKeepAlive("M\r\n");

// The whole text of a message whose line shows only its start.
class WholeMessage : public QTextBlockUserData
{
public:
    explicit WholeMessage(const QString &text)
        : text(text)
    {
    }
    QString text;
};

// The log as saved: every line as shown, a cut one as it came.
QString savedLog(const QTextDocument *document)
{
    bool cut = false;
    for (QTextBlock b = document->begin(); b.isValid() && !cut; b = b.next())
        cut = dynamic_cast<WholeMessage *>(b.userData()) != nullptr;
    if (!cut)
        return document->toPlainText();
    QStringList lines;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
        if (const auto *whole = dynamic_cast<WholeMessage *>(b.userData())) {
            lines << whole->text;
            continue;
        }
        // As the document's own plain text has them.
        QString line = b.text();
        line.replace(QChar::LineSeparator, QLatin1Char('\n')).replace(QChar::Nbsp, QLatin1Char(' '));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}
} // namespace

ModbusMonitor::ModbusMonitor(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::ModbusMonitor)
    , m_link(new PollLink(this))
{
    setTitle(tr("通讯监控"));
    connect(m_link, &PollLink::frameReceived, this, &ModbusMonitor::appendText);
    // The port failed or vanished: show the link closed rather than a button that lies.
    connect(m_link, &PollLink::linkLost, this, [this] {
        if (open)
            resetPage();
    });
    // A port gone or taken has no loss rule here: the log says so, in red, once until it answers.
    connect(m_link, &PollLink::problemFound, this, [this](const QString &text) {
        if (!isBuilt() || text.isEmpty())
            return;
        QTextEdit *log = ui->textEdit;
        const QColor previous = log->textColor();
        log->setTextColor(Qt::red);
        log->append(text);
        log->setTextColor(previous);
    });
    buildUnlessDeferred();
}

void ModbusMonitor::buildPage()
{
    ui->setupUi(this);
    ui->textEdit->document()->setMaximumBlockCount(maxBlocks);
    ui->lineEdit_fiter->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{1,3}(,\\d{1,3})*")), this));
}

ModbusMonitor::~ModbusMonitor()
{
    closeLink();
    delete ui;
}

void ModbusMonitor::openLink()
{
    if (!owner)
        return;
    PollLink::Settings s;
    s.periodMs = keepAliveMs;
    // A quiet bus sends nothing; silence is not a lost link.
    s.missLimit = INT_MAX / 2;
    s.maxBuffer = maxSerialBuffer;
    QByteArray keepAlive;
    if (owner->connType == modulebase::CONNEST_COM) {
        s.transport = PollLink::Serial;
        s.portName = owner->comstr;
        keepAlive = serialKeepAlive;
    } else if (owner->connType == modulebase::CONNEST_NET) {
        const Endpoints &ends = Endpoints::current();
        s.transport = PollLink::Udp;
        owner->ipAddress.replace(QLatin1Char(':'), QLatin1Char('.'));
        s.address = owner->ipAddress;
        s.localPort = ends.modbusMonLocalPort;
        s.modulePort = ends.modbusMonModulePort;
        keepAlive = netKeepAlive;
    } else {
        return;
    }
    m_link->setPollBuilder([keepAlive] { return keepAlive; });
    // Over UDP every datagram is one message; the serial stream ends each with "#".
    m_link->setCutter(s.transport == PollLink::Serial ? FrameCutter(cutMonitorMessages) : FrameCutter());
    if (!m_link->start(s)) {
        Prompts::warning(this, tr("错误"), tr("打开通讯失败：%1").arg(m_link->errorString()));
        return;
    }
    m_link->send(keepAlive);
}

void ModbusMonitor::closeLink()
{
    if (m_link)
        m_link->stop();
}

void ModbusMonitor::on_open_pushButton_clicked(bool checked)
{
    if (checked) {
        openLink();
        // A link that could not be made leaves the page closed.
        if (owner && (owner->connType == modulebase::CONNEST_COM || owner->connType == modulebase::CONNEST_NET)
            && !m_link->isRunning()) {
            ui->open_pushButton->setChecked(false);
            return;
        }
        ui->open_pushButton->setText(tr("关闭"));
        ui->slave_pushButton->setEnabled(false);
        open = true;
    } else {
        closeLink();
        ui->slave_pushButton->setEnabled(true);
        ui->open_pushButton->setText(tr("打开"));
        open = false;
    }
}

void ModbusMonitor::appendText(const QByteArray &message)
{
    if (message.isEmpty())
        return;
    const QString text = monitorMessageText(message);
    if (monitorFilterHides(ui->lineEdit_fiter->text(), text))
        return;
    QTextEdit *log = ui->textEdit;
    const QColor previous = log->textColor();
    bool keyword = false;
    const QColor colour = monitorMessageColor(message, &keyword);
    log->setTextColor(colour);
    if (text.size() <= maxShownChars) {
        log->append(text);
    } else {
        // Laying out one huge line would hold the window for long: the line shows the start of
        // the message on one line, and keeps the whole text for saving.
        QString shown = text.left(maxShownChars);
        for (QChar &c : shown) {
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator
                || c == QChar::LineSeparator)
                c = QLatin1Char(' ');
        }
        shown += QStringLiteral(" \u2026");
        QTextCursor end(log->document());
        end.movePosition(QTextCursor::End);
        if (!log->document()->isEmpty())
            end.insertBlock();
        QTextCharFormat format = log->currentCharFormat();
        format.setForeground(colour);
        end.insertText(shown, format);
        end.block().setUserData(new WholeMessage(text));
    }
    if (keyword)
        log->setTextColor(previous);
    log->moveCursor(QTextCursor::End);
}

void ModbusMonitor::resetPage()
{
    if (!open)
        return;
    closeLink();
    ui->slave_pushButton->setEnabled(true);
    ui->open_pushButton->setText(tr("打开"));
    ui->open_pushButton->setChecked(false);
}

void ModbusMonitor::hideEvent(QHideEvent *event)
{
    menubase::hideEvent(event);
    resetPage();
}

void ModbusMonitor::setOpenText()
{
    ui->open_pushButton->setText(ui->open_pushButton->isChecked() ? tr("关闭") : tr("打开"));
}

void ModbusMonitor::retranslate(int language)
{
    setTitle(tr("通讯监控"));
    if (deferRetranslate(language))
        return;
    ui->clean_pushButton->setText(tr("清空数据"));
    ui->slave_pushButton->setText(tr("保存数据"));
    ui->label->setText(tr("过滤设置(不显示slot=):"));
    // The button names what a click does, also on a link that stays open.
    setOpenText();
}

void ModbusMonitor::on_clean_pushButton_clicked()
{
    ui->textEdit->clear();
}

void ModbusMonitor::on_slave_pushButton_clicked()
{
    const QString desktop = Prompts::defaultFolder();
    const QString name = Prompts::getSaveFileName(this, QStringLiteral("Save File"),
        desktop + QStringLiteral("/vrg731x.txt"), QStringLiteral("Text Files (*.txt)"));
    if (name.isEmpty())
        return;
    QSaveFile file(name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        file.write(savedLog(ui->textEdit->document()).toUtf8());
        if (file.commit())
            return;
    }
    Prompts::warning(this, tr("错误"), tr("保存失败：%1").arg(file.errorString()));
}
