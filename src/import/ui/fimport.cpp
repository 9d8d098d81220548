#include "import/ui/fimport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QScreen>
#include <QGuiApplication>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/state.h"
#include "core/numbers.h"
#include "regime/regimestore.h"

namespace importer {

namespace {

const QString kTitle = QStringLiteral("Импорт показаний из файла");
constexpr int kPreviewRows = 20;

QString Shown(double v) { return core::StoredForm(static_cast<float>(v)); }

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

}  // namespace

fImport::fImport(app::Workbench& wb) : wb_(wb) {
    setObjectName(QStringLiteral("fImport"));
    setWindowTitle(kTitle);
    auto* layout = new QVBoxLayout(this);
    buildFileRow(layout);
    buildFormatFrame(layout);
    buildTables(layout);
    buildButtons(layout);
    connectSignals();
    Preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // at most the screen's free area: a laptop's 768 lines hold the whole window
    QSize size(1180, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    resize(size);
    showTable();
}

// The file row: the file's name, "Открыть...", the profiles and their saving.
void fImport::buildFileRow(QVBoxLayout* layout) {
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Файл:"), this));
    FileName = new QLineEdit(this);
    FileName->setObjectName(QStringLiteral("FileName"));
    FileName->setReadOnly(true);
    fileRow->addWidget(FileName, 1);
    Browse = new QPushButton(QStringLiteral("Открыть..."), this);
    Browse->setObjectName(QStringLiteral("Browse"));
    fileRow->addWidget(Browse);
    fileRow->addSpacing(16);
    fileRow->addWidget(new QLabel(QStringLiteral("Профиль:"), this));
    Profiles = new QComboBox(this);
    Profiles->setObjectName(QStringLiteral("Profiles"));
    Profiles->setMinimumWidth(160);
    fileRow->addWidget(Profiles);
    SaveProfileButton = new QPushButton(QStringLiteral("Сохранить профиль..."), this);
    SaveProfileButton->setObjectName(QStringLiteral("SaveProfile"));
    fileRow->addWidget(SaveProfileButton);
    layout->addLayout(fileRow);
}

// "Как прочитан файл": encoding, separator, lines skipped, header row; what was detected below.
void fImport::buildFormatFrame(QVBoxLayout* layout) {
    auto* form = new QGroupBox(QStringLiteral("Как прочитан файл"), this);
    auto* formRow = new QHBoxLayout(form);
    formRow->addWidget(new QLabel(QStringLiteral("Кодировка:"), form));
    EncodingBox = new QComboBox(form);
    EncodingBox->setObjectName(QStringLiteral("EncodingBox"));
    EncodingBox->addItems({QStringLiteral("UTF-8"), QStringLiteral("Windows-1251")});
    formRow->addWidget(EncodingBox);
    formRow->addWidget(new QLabel(QStringLiteral("Разделитель:"), form));
    SeparatorBox = new QComboBox(form);
    SeparatorBox->setObjectName(QStringLiteral("SeparatorBox"));
    for (Separator s : {Separator::Semicolon, Separator::Comma, Separator::Tab, Separator::Blanks})
        SeparatorBox->addItem(SeparatorText(s));
    formRow->addWidget(SeparatorBox);
    formRow->addWidget(new QLabel(QStringLiteral("Пропустить строк:"), form));
    SkipLines = new QSpinBox(form);
    SkipLines->setObjectName(QStringLiteral("SkipLines"));
    SkipLines->setRange(0, 1000);
    formRow->addWidget(SkipLines);
    HeaderRow = new QCheckBox(QStringLiteral("Первая строка таблицы - заголовок"), form);
    HeaderRow->setObjectName(QStringLiteral("HeaderRow"));
    formRow->addWidget(HeaderRow);
    formRow->addStretch(1);
    layout->addWidget(form);
    Detected = new QLabel(this);
    Detected->setObjectName(QStringLiteral("Detected"));
    Detected->setWordWrap(true);
    Detected->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    layout->addWidget(Detected);
}

// The preview, the columns with the grouping and its groups beside them, the refused rows.
void fImport::buildTables(QVBoxLayout* layout) {
    auto* splitter = new QSplitter(Qt::Vertical, this);
    Preview = new QTableWidget(splitter);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* middle = new QWidget(splitter);
    auto* middleRow = new QHBoxLayout(middle);
    middleRow->setContentsMargins(0, 0, 0, 0);
    Columns = new QTableWidget(middle);
    Columns->setObjectName(QStringLiteral("Columns"));
    Columns->setColumnCount(5);
    Columns->setHorizontalHeaderLabels({QStringLiteral("Столбец"), QStringLiteral("Вид"), QStringLiteral("Знак"),
                                        QStringLiteral("Поле режима"), QStringLiteral("Единица в файле")});
    Columns->verticalHeader()->hide();
    middleRow->addWidget(Columns, 1);
    middleRow->addLayout(buildGroupsPanel(middle), 1);
    BadRows = new QListWidget(splitter);
    BadRows->setObjectName(QStringLiteral("BadRows"));
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setStretchFactor(2, 1);
    layout->addWidget(splitter, 1);
}

// The grouping's choices over the table of groups and where each goes.
QVBoxLayout* fImport::buildGroupsPanel(QWidget* middle) {
    auto* right = new QVBoxLayout;
    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(new QLabel(QStringLiteral("Группы:"), middle));
    GroupBox = new QComboBox(middle);
    GroupBox->setObjectName(QStringLiteral("GroupBox"));
    GroupBox->addItems({QStringLiteral("каждая строка - режим"), QStringLiteral("по столбцу"),
                        QStringLiteral("по перерыву во времени")});
    groupRow->addWidget(GroupBox);
    GroupColumn = new QComboBox(middle);
    GroupColumn->setObjectName(QStringLiteral("GroupColumn"));
    groupRow->addWidget(GroupColumn);
    GapMinutes = new QDoubleSpinBox(middle);
    GapMinutes->setObjectName(QStringLiteral("GapMinutes"));
    GapMinutes->setRange(0.1, 1440);
    GapMinutes->setDecimals(1);
    GapMinutes->setValue(10);
    GapMinutes->setSuffix(QStringLiteral(" мин"));
    groupRow->addWidget(GapMinutes);
    groupRow->addStretch(1);
    right->addLayout(groupRow);
    Groups = new QTableWidget(middle);
    Groups->setObjectName(QStringLiteral("Groups"));
    Groups->setColumnCount(4);
    Groups->setHorizontalHeaderLabels(
        {QStringLiteral("Группа"), QStringLiteral("Показаний"), QStringLiteral("Куда"), QStringLiteral("Средние (разброс, n)")});
    Groups->verticalHeader()->hide();
    Groups->setSelectionMode(QAbstractItemView::NoSelection);
    Groups->setAutoScroll(false);
    right->addWidget(Groups, 1);
    return right;
}

// The summary line with "Записать" and "Закрыть"; the profiles listed.
void fImport::buildButtons(QVBoxLayout* layout) {
    auto* buttons = new QHBoxLayout;
    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    buttons->addWidget(Summary, 1);
    Write = new QPushButton(QStringLiteral("Записать"), this);
    Write->setObjectName(QStringLiteral("Write"));
    Close = new QPushButton(QStringLiteral("Закрыть"), this);
    Close->setObjectName(QStringLiteral("Close"));
    buttons->addWidget(Write);
    buttons->addWidget(Close);
    layout->addLayout(buttons);

    Profiles->addItem(QStringLiteral("(по заголовкам)"));
    Profiles->addItems(ProfileNames(wb_.state().templateFolder));
    // Enter in a field or a list never presses a button of the window
    for (QPushButton* b : {Browse, SaveProfileButton, Write, Close}) b->setAutoDefault(false);
}

// The buttons' clicks; every format or grouping change reads or groups again.
void fImport::connectSignals() {
    connect(Browse, &QPushButton::clicked, this, &fImport::fImport_Browse_Click);
    connect(Write, &QPushButton::clicked, this, &fImport::fImport_Write_Click);
    connect(Close, &QPushButton::clicked, this, &QDialog::accept);
    connect(SaveProfileButton, &QPushButton::clicked, this, &fImport::fImport_SaveProfile_Click);
    connect(Profiles, &QComboBox::currentIndexChanged, this, &fImport::fImport_Profile_Click);
    connect(EncodingBox, &QComboBox::currentIndexChanged, this, &fImport::formatChanged);
    connect(SeparatorBox, &QComboBox::currentIndexChanged, this, &fImport::formatChanged);
    connect(SkipLines, &QSpinBox::valueChanged, this, &fImport::formatChanged);
    connect(HeaderRow, &QCheckBox::toggled, this, &fImport::formatChanged);
    connect(GroupBox, &QComboBox::currentIndexChanged, this, &fImport::rebuildPlan);
    connect(GroupColumn, &QComboBox::currentIndexChanged, this, &fImport::rebuildPlan);
    connect(GapMinutes, &QDoubleSpinBox::valueChanged, this, &fImport::rebuildPlan);
}

bool fImport::openFile(const QString& path) {
    QString error;
    QByteArray bytes;
    if (!ReadImportFile(path, bytes, &error)) {
        wb_.dialogs().message(error, kTitle, app::Icon::Warning);
        return false;
    }
    Table probe;
    TableFormat format = DetectFormat(bytes);
    if (!ReadTable(bytes, format, probe, path, &error)) {
        wb_.dialogs().message(error, kTitle, app::Icon::Warning);
        return false;
    }
    bytes_ = bytes;
    format_ = format;
    FileName->setText(path);
    readTable(true);
    if (Profiles->currentIndex() > 0) fImport_Profile_Click();
    return true;
}

void fImport::fImport_Browse_Click() {
    const QString path = wb_.dialogs().openFileName(kTitle, wb_.state().currentObjectFolder,
                                                    QStringLiteral("Таблицы (*.csv *.txt *.tsv *.dat);;Все файлы (*)"));
    if (!path.isEmpty()) openFile(path);
}

void fImport::formatChanged() {
    if (filling_ || bytes_.isEmpty()) return;
    format_.encoding = EncodingBox->currentIndex() == 1 ? Encoding::Cp1251 : Encoding::Utf8;
    format_.separator = static_cast<Separator>(SeparatorBox->currentIndex());
    format_.skipLines = SkipLines->value();
    format_.header = HeaderRow->isChecked();
    format_.decimalComma.clear();  // other cells, other signs: detected again
    readTable(true);
}

void fImport::readTable(bool proposeMapping) {
    QString error;
    Table t;
    if (!ReadTable(bytes_, format_, t, FileName->text(), &error)) {
        table_ = Table{};
        table_.format = format_;
        mapping_.clear();
        notes_ = QStringList{error};
    } else {
        table_ = t;
        format_ = t.format;
        notes_.clear();
        if (proposeMapping) mapping_ = ProposeMapping(table_, wb_.state().units, &notes_);
    }
    showTable();
}

void fImport::showTable() {
    filling_ = true;
    const TableFormat& f = format_;
    EncodingBox->setCurrentIndex(f.encoding == Encoding::Cp1251 ? 1 : 0);
    SeparatorBox->setCurrentIndex(static_cast<int>(f.separator));
    SkipLines->setValue(f.skipLines);
    HeaderRow->setChecked(f.header);
    if (bytes_.isEmpty()) {
        Detected->setText(QStringLiteral("Выберите файл таблицы: выгрузку газоанализатора или таблицу, сохранённую как CSV."));
    } else {
        QString d = QStringLiteral("Прочитано: ") + EncodingText(f.encoding, f.bom) + QStringLiteral(", разделитель ") +
                    SeparatorText(f.separator) + QStringLiteral(", пропущено строк: %1, ").arg(f.skipLines) +
                    (f.header ? QStringLiteral("заголовок есть") : QStringLiteral("без заголовка")) +
                    QStringLiteral(", строк показаний: %1.").arg(table_.rows.size());
        if (!notes_.isEmpty()) d += u'\n' + notes_.join(u'\n');
        Detected->setText(d);
    }
    Preview->clear();
    Preview->setColumnCount(table_.columns());
    Preview->setHorizontalHeaderLabels(table_.names);
    const int rows = static_cast<int>(std::min<qsizetype>(kPreviewRows, table_.rows.size()));
    Preview->setRowCount(rows);
    QStringList lineLabels;
    for (int r = 0; r < rows; ++r) {
        lineLabels.append(QString::number(table_.rows[r].line));
        for (int c = 0; c < table_.columns(); ++c) Preview->setItem(r, c, Cell(table_.rows[r].cells.value(c)));
    }
    Preview->setVerticalHeaderLabels(lineLabels);
    Preview->resizeColumnsToContents();
    GroupColumn->clear();
    for (int c = 0; c < table_.columns(); ++c) GroupColumn->addItem(QStringLiteral("%1. ").arg(c + 1) + table_.names[c]);
    // offered first: a column that names the measurement (not mapped, no date or time)
    for (int c = 0; c < table_.columns(); ++c) {
        const bool mapped = std::any_of(mapping_.cbegin(), mapping_.cend(), [c](const ColumnMap& m) { return m.column == c; });
        const ColumnKind k = table_.kinds.value(c);
        if (!mapped && (k == ColumnKind::Number || k == ColumnKind::Text)) {
            GroupColumn->setCurrentIndex(c);
            break;
        }
    }
    filling_ = false;
    showColumns();
    rebuildPlan();
}

void fImport::showColumns() {
    filling_ = true;
    const QStringList& units = wb_.state().units;
    Columns->setRowCount(table_.columns());
    for (int c = 0; c < table_.columns(); ++c) {
        Columns->setItem(c, 0, Cell(QStringLiteral("%1. ").arg(c + 1) + table_.names[c]));
        Columns->setItem(c, 1, Cell(KindText(table_.kinds.value(c))));
        auto* decimal = new QComboBox(Columns);
        decimal->addItems({QStringLiteral("«.»"), QStringLiteral("«,»")});
        decimal->setToolTip(QStringLiteral("Десятичный знак столбца"));
        decimal->setCurrentIndex(table_.format.decimalComma.value(c) ? 1 : 0);
        Columns->setCellWidget(c, 2, decimal);
        connect(decimal, &QComboBox::currentIndexChanged, this, [this, c](int index) {
            if (filling_) return;
            while (format_.decimalComma.size() <= c) format_.decimalComma.append(false);
            format_.decimalComma[c] = index == 1;
            readTable(false);
        });
        const ColumnMap* mapped = nullptr;
        for (const ColumnMap& m : mapping_)
            if (m.column == c) mapped = &m;
        auto* field = new QComboBox(Columns);
        field->addItem(QStringLiteral("не использовать"), -1);
        for (int f : ImportFields()) field->addItem(FieldName(f), f);
        field->setCurrentIndex(mapped ? field->findData(mapped->field) : 0);
        Columns->setCellWidget(c, 3, field);
        auto* unit = new QComboBox(Columns);
        if (mapped) {
            unit->addItem(QStringLiteral("объекта: ") + units.value(mapped->field), QString());
            for (const QString& u : SourceUnits(mapped->field)) unit->addItem(u, u);
            unit->setCurrentIndex(std::max(0, unit->findData(mapped->unit)));
        }
        unit->setEnabled(mapped != nullptr);
        Columns->setCellWidget(c, 4, unit);
        connect(field, &QComboBox::currentIndexChanged, this, [this, c, field] {
            if (!filling_) mapColumn(c, field->currentData().toInt());
        });
        connect(unit, &QComboBox::currentIndexChanged, this, [this, c, field, unit] {
            if (!filling_) mapColumn(c, field->currentData().toInt(), unit->currentData().toString());
        });
    }
    Columns->resizeColumnsToContents();
    Columns->setColumnWidth(2, 64);
    Columns->setColumnWidth(4, 130);
    Columns->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    filling_ = false;
}

void fImport::mapColumn(int column, int field, const QString& unit) {
    mapping_.removeIf([&](const ColumnMap& m) { return m.column == column || (field >= 0 && m.field == field); });
    if (field >= 0) mapping_.append({column, field, unit});
    std::sort(mapping_.begin(), mapping_.end(), [](const ColumnMap& a, const ColumnMap& b) { return a.column < b.column; });
    showColumns();
    rebuildPlan();
}

Grouping fImport::grouping() const {
    Grouping g;
    g.by = static_cast<GroupBy>(std::max(0, GroupBox->currentIndex()));
    g.column = GroupColumn->currentIndex();
    g.gapMinutes = GapMinutes->value();
    if (g.by == GroupBy::Column && g.column < 0) g.by = GroupBy::Row;
    return g;
}

QStringList fImport::targets() const {
    QStringList t;
    for (int r = 0; r < Groups->rowCount(); ++r) {
        const auto* box = qobject_cast<QComboBox*>(Groups->cellWidget(r, 2));
        t.append(box ? box->currentData().toString() : QString());
    }
    return t;
}

void fImport::setTarget(int group, const QString& regimeFile) {
    if (auto* box = qobject_cast<QComboBox*>(Groups->cellWidget(group, 2)))
        box->setCurrentIndex(std::max(0, box->findData(regimeFile)));
}

void fImport::rebuildPlan() {
    if (filling_) return;
    const app::AppState& s = wb_.state();
    GroupColumn->setVisible(GroupBox->currentIndex() == 1);
    GapMinutes->setVisible(GroupBox->currentIndex() == 2);
    plan_ = table_.columns() > 0 ? BuildPlan(table_, mapping_, grouping(), s.units, s.general) : ImportPlan{};
    const QStringList keep = targets();
    Groups->setRowCount(plan_.groups.size());
    for (int i = 0; i < plan_.groups.size(); ++i) {
        const Group& g = plan_.groups[i];
        Groups->setItem(i, 0, Cell(g.key));
        Groups->setItem(i, 1, Cell(QString::number(g.lines.size())));
        QStringList values;
        for (const FieldValue& v : g.values) {
            QString text = FieldName(v.field) + QStringLiteral(" ") + Shown(v.mean);
            if (v.count > 1) text += QStringLiteral(" (%1, n=%2)").arg(Shown(v.spread)).arg(v.count);
            values.append(text);
        }
        Groups->setItem(i, 3, Cell(values.join(QStringLiteral("; "))));
        auto* where = new QComboBox(Groups);
        where->addItem(QStringLiteral("новый режим"), QString());
        for (const app::RegimeRow& row : s.regimeList.rows) where->addItem(row.key, row.key);
        where->setCurrentIndex(std::max(0, where->findData(keep.value(i))));
        connect(where, &QComboBox::currentIndexChanged, this, [this] {
            const QStringList t = targets();
            const int filled = static_cast<int>(std::count_if(t.cbegin(), t.cend(), [](const QString& x) { return !x.isEmpty(); }));
            Summary->setText(SummaryText(static_cast<int>(t.size()) - filled, filled));
        });
        Groups->setCellWidget(i, 2, where);
    }
    Groups->resizeColumnsToContents();
    Groups->horizontalHeader()->setStretchLastSection(true);
    BadRows->clear();
    for (const BadRow& b : plan_.bad) BadRows->addItem(QStringLiteral("строка %1: ").arg(b.line) + b.reason);
    if (!plan_.bad.isEmpty())
        BadRows->insertItem(0, QStringLiteral("Не будут записаны строк: %1").arg(plan_.bad.size()));
    const QStringList t = targets();
    const int filled = static_cast<int>(std::count_if(t.cbegin(), t.cend(), [](const QString& x) { return !x.isEmpty(); }));
    Summary->setText(plan_.groups.isEmpty() ? QStringLiteral("Нечего записывать")
                                            : SummaryText(static_cast<int>(t.size()) - filled, filled));
    Write->setEnabled(!plan_.groups.isEmpty());
}

void fImport::fImport_Write_Click() {
    app::Dialogs& d = wb_.dialogs();
    if (plan_.groups.isEmpty()) return;
    const QStringList t = targets();
    const int filled = static_cast<int>(std::count_if(t.cbegin(), t.cend(), [](const QString& x) { return !x.isEmpty(); }));
    const QString summary = SummaryText(static_cast<int>(t.size()) - filled, filled);
    QString question = QStringLiteral("Записать показания в режимы: ") + summary + u'.';
    if (!plan_.bad.isEmpty()) question += QStringLiteral("\nСтрок не будет записано: %1.").arg(plan_.bad.size());
    if (d.question(question, kTitle, app::Icon::Question) != app::Answer::Yes) return;
    app::AppState& s = wb_.state();
    const WriteOutcome w = WritePlan(s, plan_, t);
    if (auto* list = dynamic_cast<app::RegimeListView*>(wb_.window(app::WindowKind::SReg))) list->refresh();
    if (!w.ok) {
        d.message(w.error + QStringLiteral("\nНичего не записано."), kTitle, app::Icon::Error);
        return;
    }
    regime::ShowRegimeResults(s);
    QStringList lines;
    for (const WrittenRegime& r : w.regimes) {
        QString line = (r.created ? QStringLiteral("создан ") : QStringLiteral("заполнен ")) + r.file;
        if (!r.checkMessage.isEmpty()) line += QStringLiteral(" (не рассчитан: ") + r.checkMessage + u')';
        lines.append(line);
    }
    if (!w.listWarning.isEmpty()) lines.append(w.listWarning);
    d.message(QStringLiteral("Записано:\n") + lines.join(u'\n'), kTitle, app::Icon::Information);
    rebuildPlan();  // the list of regimes to choose from has grown
}

void fImport::fImport_SaveProfile_Click() {
    app::Dialogs& d = wb_.dialogs();
    if (table_.columns() == 0) return;
    const QString preset = Profiles->currentIndex() > 0 ? Profiles->currentText() : QString();
    const auto name = d.input(QStringLiteral("Имя профиля (прибор или таблица):"), kTitle, preset);
    if (!name || name->trimmed().isEmpty()) return;
    QString error;
    if (!SaveProfile(wb_.state().templateFolder, MakeProfile(*name, table_, mapping_, grouping()), &error)) {
        d.message(error, kTitle, app::Icon::Error);
        return;
    }
    const QSignalBlocker block(Profiles);
    Profiles->clear();
    Profiles->addItem(QStringLiteral("(по заголовкам)"));
    Profiles->addItems(ProfileNames(wb_.state().templateFolder));
    Profiles->setCurrentIndex(std::max(0, Profiles->findText(name->trimmed())));
}

void fImport::fImport_Profile_Click() {
    if (bytes_.isEmpty()) return;
    if (Profiles->currentIndex() <= 0) {
        format_ = DetectFormat(bytes_);
        readTable(true);
        return;
    }
    Profile p;
    QString error;
    if (!LoadProfile(wb_.state().templateFolder, Profiles->currentText(), p, &error)) {
        wb_.dialogs().message(error, kTitle, app::Icon::Error);
        return;
    }
    Table t;
    if (!ReadTableWithProfile(bytes_, p, t, FileName->text(), &error)) {
        wb_.dialogs().message(error, kTitle, app::Icon::Error);
        return;
    }
    table_ = t;
    format_ = t.format;
    notes_.clear();
    mapping_ = ProfileMapping(p, table_, &notes_);
    const Grouping g = ProfileGrouping(p, table_);
    filling_ = true;
    GroupBox->setCurrentIndex(static_cast<int>(g.by));
    if (g.by == GroupBy::Column) GroupColumn->setCurrentIndex(g.column);
    if (g.by == GroupBy::Gap) GapMinutes->setValue(g.gapMinutes);
    filling_ = false;
    showTable();
}

}  // namespace importer
