#include "general.h"

#include "generalcodec.h"
#include "modulebase.h"
#include "moduleprms.h"
#include "prompts.h"
#include "ui_general.h"

#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QSpacerItem>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
// The wire form of the parameters that the page owns rows for.
QVector<GeneralField> fieldsOf(const QList<modulePrms *> &params)
{
    QVector<GeneralField> fields;
    fields.reserve(params.size());
    for (const modulePrms *p : params)
        fields.append({ p->DataType, p->value, p->min });
    return fields;
}
}

General::General(QWidget *parent)
    : menubase(parent)
    , ui(new Ui::General)
{
    title = tr("基本设置");
    buildUnlessDeferred();
}

// The bytes live in the owner's parameters, so the rows wait for the first show.
void General::buildPage()
{
    ui->setupUi(this);
    gridLayout = new QGridLayout(this);
    scrollArea = new QScrollArea(this);
    scrollArea->setWidgetResizable(true);
    scrollContents = new QWidget(this);
    scrollArea->setWidget(scrollContents);
    gridLayout->addWidget(scrollArea, 0, 0);
    if (owner)
        buildRows(owner->paramList);
}

General::~General()
{
    delete ui;
}

int General::attachModule(modulebase *owner)
{
    this->owner = owner;
    if (owner && isBuilt())
        buildRows(owner->paramList);
    return 0;
}

void General::buildRows(const QList<modulePrms *> &params)
{
    auto *layout = new QVBoxLayout(scrollContents);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    layout->setContentsMargins(5, 5, 0, 0);
    layout->setSpacing(3);
    for (modulePrms *prm : params)
        layout->addLayout(buildRow(prm));
    layout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
}

QHBoxLayout *General::buildRow(modulePrms *prm)
{
    auto *label = new QLabel(prm->text);
    label->setMinimumHeight(20);
    label->setFixedWidth(150);
    prm->label = label;

    auto *row = new QHBoxLayout;
    row->setSizeConstraint(QLayout::SetFixedSize);
    row->addWidget(label);

    QWidget *editor = nullptr;
    if (!prm->valueItems.isEmpty()) {
        auto *combo = new QComboBox;
        combo->setContextMenuPolicy(Qt::CustomContextMenu);
        for (const auto &entry : prm->valueItems) {
            combo->addItem(entry.first->text);
            if (entry.second == prm->value)
                combo->setCurrentText(entry.first->text);
        }
        combo->setMinimumHeight(25);
        combo->setFixedWidth(200);
        prm->widgetKind = 1;
        editor = combo;
    } else {
        auto *spin = new QSpinBox;
        spin->setContextMenuPolicy(Qt::CustomContextMenu);
        spin->setMinimumHeight(25);
        spin->setFixedWidth(200);
        spin->setRange(prm->min, prm->max);
        spin->setValue(prm->value);
        prm->widgetKind = 0;
        editor = spin;
    }
    prm->widget = editor;
    row->addWidget(editor);
    row->setStretch(0, 1);
    row->setStretch(1, 6);

    const Row built { prm, editor, label };
    rows.append(built);
    connectEditor(built);
    return row;
}

void General::connectEditor(const Row &row)
{
    // The page answers its editors' menus itself: the parameter's own widget is the editor of
    // whichever page of the module was built last.
    connect(row.editor, &QWidget::customContextMenuRequested, this, [this, row] { showRowMenu(row); });
    if (auto *combo = qobject_cast<QComboBox *>(row.editor))
        connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this, [this, row] { editorChanged(row); });
    else if (auto *spin = qobject_cast<QSpinBox *>(row.editor))
        connect(spin, qOverload<int>(&QSpinBox::valueChanged), this, [this, row] { editorChanged(row); });
}

// What the user picked in this row's editor becomes the parameter's value, and the row is
// marked as changed.
void General::editorChanged(const Row &row)
{
    modulePrms *prm = row.prm;
    if (auto *spin = qobject_cast<QSpinBox *>(row.editor)) {
        prm->value = spin->value();
    } else if (auto *combo = qobject_cast<QComboBox *>(row.editor)) {
        if (const auto *entry = prm->entryForText(combo->currentText()))
            prm->value = entry->second;
    }
    row.label->setText(prm->text + QLatin1Char('*'));
}

QByteArray General::getParamData()
{
    if (!owner)
        return QByteArray();
    return encodeGeneralBlock(fieldsOf(owner->paramList));
}

int General::setParamData(QByteArray data)
{
    if (!owner)
        return 0;
    const QList<modulePrms *> &params = owner->paramList;
    QVector<GeneralField> fields = fieldsOf(params);
    const int used = decodeGeneralBlock(fields, data);
    for (int i = 0; i < params.size(); ++i)
        params[i]->value = fields[i].value;
    for (const Row &row : qAsConst(rows))
        showInRow(row, row.prm->value);
    return used;
}

void General::restoreDefaults(bool showInWidgets)
{
    if (!owner)
        return;
    for (modulePrms *prm : owner->paramList)
        prm->value = prm->DefaultValue;
    if (!showInWidgets)
        return;
    for (const Row &row : qAsConst(rows))
        showDefaultInRow(row);
}

// With signals on, so a row whose editor changes is marked like a user edit.
void General::showDefaultInRow(const Row &row)
{
    if (auto *spin = qobject_cast<QSpinBox *>(row.editor)) {
        spin->setValue(row.prm->DefaultValue);
    } else if (auto *combo = qobject_cast<QComboBox *>(row.editor)) {
        if (ValueItem *item = row.prm->itemForValue(row.prm->DefaultValue))
            combo->setCurrentText(item->text);
    }
}

void General::showRowMenu(const Row &row)
{
    QMenu menu(row.editor);
    QAction *restore = menu.addAction(tr("恢复默认值"));
    if (Prompts::execMenu(&menu, QCursor::pos()) == restore)
        showDefaultInRow(row);
}

void General::showInRow(const Row &row, int value)
{
    if (auto *spin = qobject_cast<QSpinBox *>(row.editor)) {
        const bool blocked = spin->blockSignals(true);
        spin->setValue(value);
        spin->blockSignals(blocked);
    } else if (auto *combo = qobject_cast<QComboBox *>(row.editor)) {
        ValueItem *item = row.prm->itemForValue(value);
        if (!item)
            return;
        const bool blocked = combo->blockSignals(true);
        combo->setCurrentText(item->text);
        combo->blockSignals(blocked);
    }
}

void General::retranslate(int)
{
    setTitle(tr("基本设置"));
    for (const Row &row : qAsConst(rows)) {
        row.label->setText(row.prm->text);
        auto *combo = qobject_cast<QComboBox *>(row.editor);
        if (!combo)
            continue;
        const bool blocked = combo->blockSignals(true);
        const int index = combo->currentIndex();
        combo->clear();
        for (const auto &entry : row.prm->valueItems)
            combo->addItem(entry.first->text);
        combo->setCurrentIndex(index);
        combo->blockSignals(blocked);
    }
}
