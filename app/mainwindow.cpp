#include "mainwindow.h"

#include "devicerequest.h"

#include "apppaths.h"
#include "caxexport.h"
#include "customtabstyle.h"
#include "dhcpdialog.h"
#include "downdialog.h"
#include "firmwaredialog.h"
#include "menubase.h"
#include "module.h"
#include "moduleinfoform.h"
#include "openinfodialog.h"
#include "pageholderstyle.h"
#include "packageimport.h"
#include "projectfile.h"
#include "projectmodules.h"
#include "prompts.h"
#include "restoresetdialog.h"
#include "savedialog.h"
#include "scandialog.h"
#include "submodule.h"
#include "textfit.h"
#include "titleform.h"
#include "ui_mainwindow.h"
#include "usrconf.h"

#include <QApplication>
#include <QDate>
#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QListView>
#include <QLocale>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTime>
#include <QToolTip>
#include <QTranslator>
#include <QTreeWidget>
#include <QWindow>

namespace {
// When the program was built, as the version label shows it.
QDate buildDate()
{
    QString text = QStringLiteral(__DATE__);
    text.replace(QStringLiteral("  "), QStringLiteral(" 0"));
    return QLocale(QLocale::English).toDate(text, QStringLiteral("MMM dd yyyy"));
}

QTime buildTime()
{
    return QTime::fromString(QStringLiteral(__TIME__), QStringLiteral("hh:mm:ss"));
}

QRect &screenAreaOverride()
{
    static QRect area;
    return area;
}

const char *const buttonStyle
    = "QPushButton{color:white; background-color:transparent;}QPushButton:hover{background-color: rgb(178, 171, "
      "255);}";
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    setWindowFlags(Qt::FramelessWindowHint);
    setMouseTracking(true);
    language = 0;

    ui->setupUi(this);

    ui->widget->setTitleIcon(QIcon(QStringLiteral(":/new/prefix1/img/Vqtool.png")));
    ui->widget->setTitleText(QStringLiteral("DE_Rivudo"));
    ui->widget->setTitleIconSize(QSize(32, 32));
    ui->widget->setWindow(this);

    QFont tipFont(QStringLiteral("Segoe UI"));
    tipFont.setPixelSize(20);
    tipFont.setWeight(QFont::Normal);
    QToolTip::setFont(tipFont);

    ui->comboBox->setView(new QListView(ui->comboBox));
    ui->comboBox->setEditable(false);
    ui->comboBox->setMaxVisibleItems(ui->comboBox->count());
    ui->comboBox->setStyleSheet(QStringLiteral(
        "QComboBox { font-size: 13px; padding: 4px 0px 3px 5px;background: transparent;"
        "border:1px solid rgb(166, 181, 184);}QComboBox::drop-down "
        "{subcontrol-origin: padding; subcontrol-position: top right; width: 30px; border: 0px;}"));
    ui->comboBox->view()->setStyleSheet(
        QStringLiteral("QListView { font-size: 13px; outline: 0px;}QListView::item {padding: 3px 0x 3px 5px; "
                       "border- 0px;}QListView::item:selected {background-color: rgb(178, 171, 255);}"));
    // The box is 85 pixels wide unless its longest name needs more with the fonts at hand.
    {
        QStringList names;
        for (int i = 0; i < ui->comboBox->count(); ++i)
            names.append(ui->comboBox->itemText(i));
        const int width = qMax(85, TextFit::comboBoxWidth(ui->comboBox, names));
        ui->comboBox->setMinimumWidth(width);
        ui->comboBox->setMaximumWidth(width);
    }

    const QList<QPushButton *> toolbar = { ui->pushButton_open, ui->pushButton_save, ui->pushButton_dhcp,
        ui->scanmodule, ui->pushButton_down, ui->pushButton_rev, ui->pushButton_import, ui->pushButton_help,
        ui->pushButton_Firmware, ui->pushButton_cax };
    // Without a border of their own, styles such as Fusion paint a transparent button as a black
    // box; the same holds for the language box above.
    for (QPushButton *button : toolbar)
        button->setStyleSheet(QString::fromLatin1(buttonStyle) + QStringLiteral("QPushButton{border:none;}"));

    ui->pushButton_down->setEnabled(false);
    ui->pushButton_cax->setEnabled(false);
    ui->pushButton_Firmware->setEnabled(false);

    // Styles, not style sheets, on the boxes around the page tabs: a sheet there would restyle
    // every widget of every page shown inside and make each cost its share of the sheet's rules.
    auto *holderStyle = new PageHolderStyle;
    holderStyle->setParent(this);
    ui->groupBox_3->setStyle(holderStyle);

    // The style lives as long as the window; the tab bar does not own it.
    auto *tabStyle = new CustomTabStyle;
    tabStyle->setParent(this);
    ui->tabWidget->tabBar()->setStyle(tabStyle);
    // Pages are built at their first show, so what the page area needs is known only then.
    ui->tabWidget->installEventFilter(this);

    ui->treeWidget->setStyleSheet(QStringLiteral(
        "QTreeView::item:hover{    background:rgba(255, 255, 255, 100);color:black;}QTreeView::item:selected{    "
        "border-color: black;    background:rgb(178, 171, 255);    color:white;}"));

    ui->pushButton_topology->hide();
    ui->pushButton_import->hide();
    currentModule = nullptr;
    highlightedFrame = nullptr;

    QFont statusFont;
    statusFont.setPointSize(8);
    statusFont.setItalic(true);
    const QString labelStyle = QStringLiteral("background:transparent;border-width:1;border-style:outset");

    versionLabel = new QLabel(this);
    versionLabel->setFont(statusFont);
    versionLabel->setStyleSheet(labelStyle);
    versionLabel->setText(QStringLiteral("Ver: V1.5,Build time:%1 %2 ")
                              .arg(buildDate().toString(QStringLiteral("yyyy.MM.dd")),
                                  buildTime().toString(QStringLiteral("hh:mm:ss"))));
    ui->statusbar->addPermanentWidget(versionLabel);

    auto *logoLabel = new QLabel(this);
    logoLabel->setObjectName(QStringLiteral("logoLabel"));
    QPixmap logo(AppPaths::find(QStringLiteral("/logo/logo.png")));
    if (!logo.isNull())
        logoLabel->setPixmap(logo.scaled(200, 10, Qt::KeepAspectRatio, Qt::FastTransformation));
    ui->statusbar->addWidget(logoLabel);

    companyLabel = new QLabel(this);
    companyLabel->setFont(statusFont);
    companyLabel->setStyleSheet(labelStyle);
    ui->statusbar->addWidget(companyLabel);
    readLogoInfo();

    ui->pushButton_save->setEnabled(false);

    ui->treeWidget->setColumnWidth(0, 100);
    ui->treeWidget->setIconSize(QSize(32, 32));

    auto stretch = [](QWidget *w) {
        QSizePolicy policy = w->sizePolicy();
        policy.setVerticalStretch(1);
        w->setSizePolicy(policy);
    };
    stretch(ui->groupBox);
    stretch(ui->scrollArea_page);
    fitInfoPanel();

    // On a screen smaller than the window's parts (a 1366 x 768 laptop), the page area scrolls
    // instead of pushing the pages' buttons and the status bar off the screen, while the tree and
    // the information panel stay where they are; where the screen holds the parts, nothing scrolls.
    // No style sheet here: it would reach every widget of every page.
    ui->scrollArea_page->setAutoFillBackground(false);
    ui->scrollArea_page->viewport()->setAutoFillBackground(false);
    ui->groupBox_3->setAutoFillBackground(false);
    ui->splitter_2->installEventFilter(this);
    resize(size().boundedTo(screenArea().size()));

    ui->widget->toggleMaximized();
}

MainWindow::~MainWindow()
{
    // No worker may outlive the window: each is asked to stop and waited for (bounded).
    DeviceRequest::stopAll(5000);
    clearModuleList();
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    loadQtTranslation(1);
    delete ui;
}

void MainWindow::applyStoredLanguage()
{
    QString text;
    if (!readSetting(QStringLiteral("language"), QStringLiteral("Initlanguage"), text) || text.isEmpty()) {
        setLanguage(0);
        return;
    }
    const int index = UsrConf::languageIndex(text);
    setLanguage(index);
    // Anything but a language index falls back to Chinese, and that is what is kept.
    if (text != QString::number(index))
        writeSetting(QStringLiteral("language"), QStringLiteral("Initlanguage"), QString::number(index));
}

bool MainWindow::writeSetting(QString group, QString key, QString value)
{
    return UsrConf::write(group, key, value);
}

bool MainWindow::readSetting(QString group, QString key, QString &value)
{
    return UsrConf::read(group, key, value);
}

void MainWindow::setLanguage(int index)
{
    index = UsrConf::normalizedLanguage(index);
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    translator = new QTranslator(this);
    const QString file = index == 1 ? QStringLiteral(":/res/language/en_US.qm")
                                    : QStringLiteral(":/res/language/zh_CN.qm");
    if (!translator->load(file))
        return;
    loadQtTranslation(index);
    QCoreApplication::installTranslator(translator);

    // A change of the combo runs its slot here, which switches once more for the same index
    // and stores it.
    ui->comboBox->setCurrentIndex(index);
    language = index;

    const QList<module *> modules = moduleList;
    for (module *m : modules) {
        m->setLanguage(index);
        for (submodule *s : m->submodules)
            s->setLanguage(index);
    }
    if (!moduleList.isEmpty()) {
        if (highlightedFrame)
            highlightedFrame->clearHighlight();
        // No frame carries the border now, so the next one the user picks must draw it.
        highlightedFrame = nullptr;
        presentModule(moduleList.first());
    }
}

void MainWindow::loadQtTranslation(int index)
{
    if (qtTranslator) {
        QCoreApplication::removeTranslator(qtTranslator);
        delete qtTranslator;
        qtTranslator = nullptr;
    }
    if (index == 1)
        return;
    // Standard buttons and Qt's dialogs speak Chinese with the program; without Qt's
    // translation installed they stay in English.
    auto *qt = new QTranslator(this);
    if (!qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return;
    }
    qtTranslator = qt;
    QCoreApplication::installTranslator(qtTranslator);
}

void MainWindow::on_comboBox_currentIndexChanged(int index)
{
    if (index == language)
        return;
    setLanguage(index);
    writeSetting(QStringLiteral("language"), QStringLiteral("Initlanguage"), QString::number(language));
}

void MainWindow::setScreenAreaOverride(const QRect &area)
{
    screenAreaOverride() = area;
}

QRect MainWindow::screenArea() const
{
    if (!screenAreaOverride().isEmpty())
        return screenAreaOverride();
    const QWindow *handle = windowHandle();
    QScreen *screen = handle && handle->screen() ? handle->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1022, 1059);
}

void MainWindow::fitToScreen()
{
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return;
    const QRect area = screenArea();
    if (width() <= area.width() && height() <= area.height())
        return;
    resize(size().boundedTo(area.size()));
    // A frameless window has no frame of its own to drag back: its title bar must stay on the screen.
    move(qBound(area.left(), x(), area.right() - width() + 1), qBound(area.top(), y(), area.bottom() - height() + 1));
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        fitToScreen();
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        ui->mouleparam->retranslate();
        readLogoInfo();
        fitInfoPanel();
    }
}

// The information panel scrolls when the window is too short for it, so none of its groups is
// squeezed; it is 350 pixels wide unless its fields and the scroll bar need more.
void MainWindow::fitInfoPanel()
{
    const int bar = ui->infoScrollArea->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
        ui->infoScrollArea);
    const int frame = 2 * ui->infoScrollArea->frameWidth();
    ui->infoScrollArea->setMinimumWidth(ui->mouleparam->minimumSizeHint().width() + bar + frame);
    const int width = qMax(350, ui->tabWidget_3->minimumSizeHint().width());
    ui->tabWidget_3->setMinimumWidth(width);
    ui->tabWidget_3->setMaximumWidth(width);
}

void MainWindow::readLogoInfo()
{
    QFile file(AppPaths::find(QStringLiteral("/logo/logo.info")));
    if (file.open(QIODevice::ReadOnly)) {
        auto decode = [](const QByteArray &line) {
            const int nul = line.indexOf('\0');
            return QString::fromUtf8(nul < 0 ? line : line.left(nul));
        };
        if (language == 1) {
            while (!file.atEnd()) {
                QString line = decode(file.readLine());
                // A kept line end would make the one-line status label two lines high.
                while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
                    line.chop(1);
                if (line.contains(QLatin1String("English")))
                    companyLabel->setText(line.mid(8));
            }
        } else {
            const QString line = decode(file.readLine().simplified());
            if (line.contains(QLatin1String("Chinese")))
                companyLabel->setText(line.mid(8));
        }
        file.close();
    }
    ui->statusbar->repaint();
}

void MainWindow::readDevicestype()
{
    familyMap.read();
}

void MainWindow::readSublistmap()
{
    if (!sublistMap.read())
        Prompts::critical(nullptr, QStringLiteral("Erro"), QStringLiteral("Missing file"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
}

void MainWindow::enableSave()
{
    ui->pushButton_save->setEnabled(true);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == ui->tabWidget && event->type() == QEvent::LayoutRequest)
        || (watched == ui->splitter_2 && event->type() == QEvent::Resize))
        fitPageArea();
    return QMainWindow::eventFilter(watched, event);
}

// The pages keep their least height but grow to what they need, so a taller page scrolls in the
// page area instead of squeezing its fields over each other. The page area itself takes that
// height where the window has room for it beside the information panel's least, so only a
// window too short for both scrolls.
void MainWindow::fitPageArea()
{
    constexpr int leastHeight = 500;
    const int height = qMax(leastHeight, ui->tabWidget->minimumSizeHint().height());
    if (ui->tabWidget->minimumHeight() != height)
        ui->tabWidget->setMinimumHeight(height);
    const int need = ui->groupBox_3->minimumSizeHint().height() + 2 * ui->scrollArea_page->frameWidth();
    const int room
        = ui->splitter_2->height() - ui->splitter_2->handleWidth() - ui->groupBox->minimumSizeHint().height();
    const int least = qBound(0, room, need);
    if (ui->scrollArea_page->minimumHeight() != least)
        ui->scrollArea_page->setMinimumHeight(least);
}

void MainWindow::clearModuleList()
{
    for (module *m : qAsConst(moduleList)) {
        for (menubase *page : qAsConst(m->pageList))
            page->resetPage();
        for (submodule *s : qAsConst(m->submodules)) {
            for (menubase *page : qAsConst(s->pageList))
                page->resetPage();
        }
    }
    // The page tabs may show pages of the modules about to go.
    while (ui->tabWidget->count() > 0)
        ui->tabWidget->removeTab(0);
    ui->groupBox_3->setTitle(QStringLiteral("None"));
    clearTabs();
    ui->mouleparam->clearModuleInfo();
    currentModule = nullptr;
    highlightedFrame = nullptr;
    m_pagesOf = nullptr;
    scanHandler.reset();
    moduleList.clear();
    // The tree's current item goes with the others: no selection change may reach a module
    // being deleted.
    const QSignalBlocker quiet(ui->treeWidget);
    ui->treeWidget->clear();
}

void MainWindow::addModule(module *m)
{
    highlightedFrame = m;
    moduleList.append(m);
    ui->treeWidget->addTopLevelItem(m);
    m->tabWidget = ui->tabWidget;
    for (submodule *s : qAsConst(m->submodules))
        s->tabWidget = ui->tabWidget;
}

void MainWindow::clearTabs()
{
    const int count = ui->tabWidget_main->count();
    for (int i = 0; i < count; ++i)
        ui->tabWidget_main->removeTab(0);
}

void MainWindow::showModule(module *m)
{
    if (currentModule)
        clearTabs();
    currentModule = m;
    m->addShowFormTab(ui->tabWidget_main);
    m->showPages();
    pagesShown(m);
    ui->mouleparam->showModuleInfo(m);
}

void MainWindow::pagesShown(const moduleFrame *frame)
{
    if (frame == m_pagesOf)
        return;
    m_pagesOf = frame;
    // Left where the last frame's pages were, another frame's pages would open part-way down
    // with their tabs out of sight.
    ui->scrollArea_page->verticalScrollBar()->setValue(0);
    ui->scrollArea_page->horizontalScrollBar()->setValue(0);
}

void MainWindow::presentModule(module *m)
{
    showModule(m);
    ui->mouleparam->clearSubmoduleInfo();
    // Selected without the highlight border that a user's selection draws; callers decide on it.
    const QSignalBlocker quiet(ui->treeWidget);
    ui->treeWidget->setCurrentItem(m);
}

void MainWindow::highlightModule(moduleFrame *f)
{
    if (f == highlightedFrame)
        return;
    if (highlightedFrame)
        highlightedFrame->clearHighlight();
    f->setHighlight();
    highlightedFrame = f;
    ui->tabWidget_main->repaint();
}

void MainWindow::on_treeWidget_itemSelectionChanged()
{
    QTreeWidgetItem *item = ui->treeWidget->currentItem();
    auto *frame = dynamic_cast<moduleFrame *>(item);
    if (!frame)
        return;
    if (frame->kind == 0) {
        auto *m = static_cast<module *>(frame);
        showModule(m);
        highlightModule(m);
        ui->mouleparam->clearSubmoduleInfo();
        m->showPages();
    } else if (frame->kind == 1) {
        auto *s = static_cast<submodule *>(frame);
        showModule(s->parentModule);
        ui->mouleparam->showSubmoduleInfo(s);
        highlightModule(s);
        s->showPages();
        pagesShown(s);
    }
}

void MainWindow::on_scanmodule_clicked()
{
    auto *dialog = new SCANDialog(nullptr);
    connect(dialog, &SCANDialog::Sendmodule, this, &MainWindow::Getmoduleinfo);
    connect(dialog, &SCANDialog::SendmodulePrm, this, &MainWindow::GetmoduleinfoPrm);
    connect(dialog, qOverload<QString>(&SCANDialog::startscan), this, &MainWindow::Startnewscan);

    readDevicestype();
    readSublistmap();

    QString localIp, startIp, endIp;
    readSetting(QStringLiteral("scanip"), QStringLiteral("Localip"), localIp);
    readSetting(QStringLiteral("scanip"), QStringLiteral("StartIP"), startIp);
    readSetting(QStringLiteral("scanip"), QStringLiteral("EndIP"), endIp);
    dialog->setLocalIP(localIp);
    dialog->setIPRange(startIp, endIp);

    Prompts::exec(dialog);

    writeSetting(QStringLiteral("scanip"), QStringLiteral("Localip"), dialog->getLocalIP());
    writeSetting(QStringLiteral("scanip"), QStringLiteral("StartIP"), dialog->getStartIP());
    writeSetting(QStringLiteral("scanip"), QStringLiteral("EndIP"), dialog->getEndIP());
    delete dialog;
    Endscan();
}

void MainWindow::Startnewscan(QString startPort)
{
    lastScanPort = startPort;
    clearModuleList();
    ui->pushButton_down->setEnabled(false);
    ui->pushButton_cax->setEnabled(false);
    ui->pushButton_Firmware->setEnabled(false);
    clearTabs();
    currentModule = nullptr;
}

void MainWindow::Getmoduleinfo(QByteArray moduleinfo, modulebase::CONNEST_TYPE type)
{
    ScanReplyHandler::Outcome outcome = ScanReplyHandler::NoModuleType;
    module *m = scanHandler.takeModuleInfo(moduleinfo, familyMap, sublistMap, language, type, lastScanPort, &outcome);
    if (m) {
        addModule(m);
        presentModule(m);
    } else if (outcome != ScanReplyHandler::NoModuleType) {
        return;
    }
    updateModuleButtons();
}

void MainWindow::GetmoduleinfoPrm(QByteArray moduleinfo)
{
    if (!currentModule)
        return;
    scanHandler.takeParamReply(moduleinfo);
}

void MainWindow::Endscan()
{
    if (moduleList.isEmpty())
        return;
    for (module *m : qAsConst(moduleList))
        m->setPagesOwner();
    // A scan dialog closed without a new scan keeps the list, and with it the border the user
    // last gave a module or sub-module; only the first module is to carry one now.
    if (highlightedFrame)
        highlightedFrame->clearHighlight();
    highlightedFrame = nullptr;
    presentModule(moduleList.first());
    highlightModule(moduleList.first());
}

void MainWindow::updateModuleButtons()
{
    ui->pushButton_save->setEnabled(true);
    if (!moduleList.isEmpty()) {
        ui->pushButton_down->setEnabled(true);
        ui->pushButton_cax->setEnabled(true);
        ui->pushButton_Firmware->setEnabled(true);
    }
}

void MainWindow::on_pushButton_down_clicked()
{
    auto *dialog = new DownDialog(nullptr);
    dialog->setModuleList(moduleList);
    Prompts::exec(dialog);
    delete dialog;
}

void MainWindow::on_pushButton_Firmware_clicked()
{
    auto *dialog = new FirmwareDialog(nullptr);
    dialog->setModuleList(moduleList);
    Prompts::exec(dialog);
    delete dialog;
}

void MainWindow::on_pushButton_rev_clicked()
{
    auto *dialog = new RestoresetDialog(nullptr);
    Prompts::exec(dialog);
    delete dialog;
}

void MainWindow::on_pushButton_dhcp_clicked()
{
    auto *dialog = new dhcpDialog(nullptr);
    Prompts::exec(dialog);
    delete dialog;
}

void MainWindow::on_pushButton_topology_clicked()
{
}

void MainWindow::on_pushButton_cax_clicked()
{
    Caxexport cax(moduleList, QStringLiteral("Profinet"));
    cax.exportCaxFile();
}

void MainWindow::on_pushButton_import_clicked()
{
    const QString path = Prompts::getOpenFileName(this, tr("Open File"), QString(), tr("projcet Files (*.kdzip)"));
    if (path.isEmpty())
        return;
    PackageImport().importPackage(path);
}

void MainWindow::on_pushButton_help_clicked()
{
    // Without a program for folders (a bare desktop) the user still learns where help lives.
    if (!PackageImport::openHelpFolder())
        Prompts::information(nullptr, tr("帮助文档"),
            tr("没有可以打开帮助文件夹的程序。帮助文件在：\n%1").arg(PackageImport::helpFolder()));
}

void MainWindow::on_pushButton_save_clicked()
{
    SaveDialog *dialog = new SaveDialog(nullptr);
    if (Prompts::exec(dialog) != QDialog::Accepted) {
        delete dialog;
        return;
    }
    const QString path = dialog->getPath() + "/" + dialog->getFileName();
    QString modules;
    for (module *m : qAsConst(moduleList))
        modules += m->toXmlString();
    const QString text = ProjectFile::documentXml(dialog->getFileInfo(), modules);
    delete dialog;
    QString error;
    if (!ProjectFile::writeFile(path, text, &error))
        Prompts::warning(nullptr, tr("失败"), tr("保存失败") + "\n" + QDir::toNativeSeparators(path) + "\n" + error);
}

void MainWindow::on_pushButton_open_clicked()
{
    const QString path = Prompts::getOpenFileName(this, tr("Open File"), QString(), tr("projcet Files (*.kdxml)"));
    if (!path.isEmpty())
        loadProjectFile(path);
}

void MainWindow::loadProjectFile(QString path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompts::warning(nullptr, QStringLiteral("失败"), QStringLiteral("非法文件"));
        return;
    }
    QByteArray content;
    const bool fits = ProjectFile::readBounded(file, &content);
    file.close();
    if (!fits) {
        qDebug() << "warning: project file too large" << path;
        Prompts::warning(nullptr, QStringLiteral("失败"), QStringLiteral("非法文件"));
        return;
    }
    const ProjectFile::ReadResult project = ProjectFile::read(content);
    if (!project.ok) {
        qDebug() << "warning: not a project file" << path << project.error;
        Prompts::warning(nullptr, QStringLiteral("失败"), QStringLiteral("非法文件"));
        return;
    }

    // The current modules go only after the user has confirmed the file's information.
    bool confirmed = false;
    for (const ProjectFile::Section &section : project.sections) {
        if (section.kind != ProjectFile::Section::Info)
            continue;
        OpenInfoDialog *dialog = new OpenInfoDialog(nullptr);
        dialog->setProducer(section.info.producer);
        dialog->setModfiyDate(section.info.modfiydate);
        dialog->setFileName(path);
        dialog->setInfoText(section.info.text);
        const bool accepted = Prompts::exec(dialog) == QDialog::Accepted;
        delete dialog;
        if (!accepted)
            return;
        confirmed = true;
    }
    if (confirmed)
        enableSave();

    // Before the first scan no description map has been read yet.
    if (familyMap.isEmpty()) {
        readDevicestype();
        readSublistmap();
    }
    clearModuleList();
    for (const ProjectFile::Section &section : project.sections) {
        for (const ProjectFile::ModuleRecord &record : section.modules) {
            if (module *m = ProjectModules::buildModule(record, familyMap)) {
                // Like a scanned module, it speaks the language in force, not its file's default.
                m->setLanguage(language);
                for (submodule *s : qAsConst(m->submodules))
                    s->setLanguage(language);
                addModule(m);
                // What building the module posted is delivered before the next one: left queued,
                // every later post scans the whole queue and the open grows with its square.
                QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            }
        }
    }
    if (!moduleList.isEmpty())
        presentModule(moduleList.first());
}
