#include "docs/safetymap.h"

#include <QFileInfo>
#include <xlsxwriter.h>

#include "core/filekinds.h"
#include "core/names.h"
#include "core/textfile.h"
#include "object/generaldata.h"
#include "report/reportmodel.h"
#include "report/reportxlsx.h"

namespace docs {

QStringList TripParameters() {
    return {QStringLiteral("Повышение давления топлива перед котлом "),
            QStringLiteral("Понижение давления топлива перед котлом "),
            QStringLiteral("Понижение давления воздуха  на горелке "),
            QStringLiteral("Повышение давления воды в котле"),
            QStringLiteral("Понижение давления воды  в котле"),
            QStringLiteral("Повышение давления пара в котле"),
            QStringLiteral("Повышение температуры воды в котле"),
            QStringLiteral("Понижение разрежения в топке котла"),
            QStringLiteral("Повышение давления в топке котла"),
            QStringLiteral("Погасание факела горелки"),
            QStringLiteral("Понижение уровня воды в котле"),
            QStringLiteral("Повышение уровня воды в котле"),
            QStringLiteral("Негерметичность газовых клапанов")};
}

QStringList MapUnits() {
    return {QStringLiteral("bar"), QStringLiteral("mbar"), QStringLiteral("мм.вод.ст."), QStringLiteral("Па"),
            QStringLiteral("кПа"), QStringLiteral("кгс/м2"), QStringLiteral("кгс/см2"), QStringLiteral("оС")};
}

QString MapColumnTooltip(int column) {
    switch (column) {
    case 0: return QStringLiteral("Параметр срабатывания (выбор из списка или ввод вручную)");
    case 1: return QStringLiteral("Единицы измерения");
    case 2: return QStringLiteral("Тип (марка) датчика");
    case 3: return QStringLiteral("Номер прибора");
    case 4: return QStringLiteral("Значение уставки");
    }
    return {};
}

QStringList InitialMapCells() {
    const QStringList params = TripParameters();
    const QString sensor = QStringLiteral("Датчик"), number = QStringLiteral("б/н"), setpoint = QStringLiteral("уставка ");
    const QStringList rows[kMapRows] = {
        {params[0], QStringLiteral("mbar"), sensor, number, setpoint},
        {params[1], QStringLiteral("mbar"), sensor, number, setpoint},
        {params[2], QStringLiteral("mbar"), sensor, number, setpoint},
        {params[3], QStringLiteral("bar"), sensor, number, setpoint},
        {params[4], QStringLiteral("bar"), sensor, number, setpoint},
        {params[6], QStringLiteral("оС"), sensor, number, setpoint},
        {params[7], QStringLiteral("мм.вод.ст."), sensor, number, setpoint},
        {params[9], QStringLiteral("--------"), sensor, number, QStringLiteral("отсутствие")},
        {QString(), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")}};
    QStringList cells;
    for (const auto& r : rows) cells += r;
    return cells;
}

bool InitiallyIncluded(int row) { return row >= 0 && row < kMapRows - 1; }

MapRead ReadSafetyMap(const QString& folder, QStringList& cells) {
    const QString name = core::FindEntryNoCase(folder, kSafetyMapFile);
    if (name.isEmpty()) return MapRead::Missing;
    QStringList lines;
    const QString path = core::JoinPath(folder, name);
    if (!core::ReadKindFile(QStringLiteral("safety-map"), path, lines)) {
        // a short file of good lines is completed by the window; anything else is damaged
        if (!core::ReadTextLines(path, lines) || lines.size() >= kMapCells) return MapRead::Failed;
        QByteArray bytes;
        QStringList checked;
        core::FileKind shorter = core::Kind(QStringLiteral("safety-map"));
        shorter.lines = 0;
        shorter.maxLines = kMapCells;
        if (!core::ReadDataFile(path, bytes) || !core::CheckKindBytes(shorter, bytes, checked, nullptr))
            return MapRead::Failed;
    }
    while (cells.size() < kMapCells) cells.append(QString());
    for (int i = 0; i < kMapCells && i < lines.size(); ++i) cells[i] = lines[i];
    return lines.size() < kMapCells ? MapRead::Short : MapRead::Complete;
}

bool WriteSafetyMap(const QString& folder, const QStringList& cells, QString* error) {
    QStringList lines = cells.mid(0, kMapCells);
    while (lines.size() < kMapCells) lines.append(QString());
    return core::WriteTextLines(core::ResolvePath(folder, kSafetyMapFile), lines, error);
}

MapRead ReadSafetyMapRows(const QString& folder, QList<bool>& included, QString* error) {
    const QString name = core::FindEntryNoCase(folder, kSafetyMapRowsFile);
    if (name.isEmpty()) return MapRead::Missing;
    const QString path = core::JoinPath(folder, name);
    QStringList lines;
    // one line more than the format has, to tell a longer file from a complete one
    if (!core::ReadKindFile(QStringLiteral("safety-rows"), path, lines, error)) return MapRead::Failed;
    auto refuse = [&](const QString& why) {
        if (error) *error = path + QStringLiteral(": ") + why;
        return MapRead::Failed;
    };
    QList<bool> read;
    for (int r = 0; r < kMapRows; ++r) {
        const QString t = lines[r].trimmed();
        if (t != u"0" && t != u"1") return refuse(QStringLiteral("в строке %1 не 0 и не 1").arg(r + 1));
        read.append(t == u"1");
    }
    included = read;
    return MapRead::Complete;
}

bool WriteSafetyMapRows(const QString& folder, const QList<bool>& included, QString* error) {
    QStringList lines;
    for (int r = 0; r < kMapRows; ++r) lines.append(included.value(r, false) ? QStringLiteral("1") : QStringLiteral("0"));
    return core::WriteTextLines(core::ResolvePath(folder, kSafetyMapRowsFile), lines, error);
}

namespace {

struct ProtocolFormats {
    lxw_format *title, *bold, *head, *cell;
};

ProtocolFormats AddProtocolFormats(lxw_workbook* wb) {
    ProtocolFormats f;
    f.title = workbook_add_format(wb);
    format_set_bold(f.title);
    format_set_font_size(f.title, 14);
    f.bold = workbook_add_format(wb);
    format_set_bold(f.bold);
    f.head = workbook_add_format(wb);
    format_set_bold(f.head);
    format_set_border(f.head, LXW_BORDER_THIN);
    format_set_text_wrap(f.head);
    format_set_align(f.head, LXW_ALIGN_CENTER);
    format_set_align(f.head, LXW_ALIGN_VERTICAL_CENTER);
    format_set_bg_color(f.head, 0xDDE6F0);
    f.cell = workbook_add_format(wb);
    format_set_border(f.cell, LXW_BORDER_THIN);
    format_set_text_wrap(f.cell);
    format_set_align(f.cell, LXW_ALIGN_VERTICAL_CENTER);
    return f;
}

void WriteText(lxw_worksheet* ws, int r, int c, const QString& t, lxw_format* f) {
    worksheet_write_string(ws, r, c, t.toUtf8().constData(), f);
}

// The title and the lines of the object the protocol is about; the next free row.
int WriteProtocolHead(lxw_worksheet* ws, const ProtocolFormats& f, const QStringList& general, const QDate& date) {
    WriteText(ws, 0, 0, QStringLiteral("Карта уставок и протокол автоматики безопасности"), f.title);
    int row = 2;
    const QStringList wanted = {QStringLiteral("Объект"),  QStringLiteral("Котел"),       QStringLiteral("Горелка"),
                                QStringLiteral("Топливо"), QStringLiteral("Исполнитель"), QStringLiteral("Дата")};
    for (const auto& line : report::ObjectHeader(general, date)) {
        if (!wanted.contains(line.caption)) continue;
        WriteText(ws, row, 0, line.caption, f.bold);
        worksheet_merge_range(ws, row, 1, row, 6, line.value.toUtf8().constData(), nullptr);
        ++row;
    }
    return row + 1;
}

// The table of the included rows of the map, numbered, from `row`; the next free row.
int WriteProtocolTable(lxw_worksheet* ws, const ProtocolFormats& f, const QStringList& cells,
                       const QList<bool>& included, int row) {
    const QStringList heads = {QStringLiteral("№"),
                               QStringLiteral("Параметр срабатывания"),
                               QStringLiteral("Ед. изм."),
                               QStringLiteral("Тип (марка) датчика"),
                               QStringLiteral("Номер прибора"),
                               QStringLiteral("Значение уставки"),
                               QStringLiteral("Результат проверки, подпись")};
    for (int c = 0; c < heads.size(); ++c) WriteText(ws, row, c, heads[c], f.head);
    worksheet_set_row(ws, row, 30, nullptr);
    ++row;
    int number = 0;
    for (int r = 0; r < kMapRows; ++r) {
        if (!included.value(r, false)) continue;
        worksheet_write_number(ws, row, 0, ++number, f.cell);
        for (int c = 0; c < kMapColumns; ++c)
            WriteText(ws, row, 1 + c, cells.value(r * kMapColumns + c).trimmed(), f.cell);
        worksheet_write_blank(ws, row, 6, f.cell);
        worksheet_set_row(ws, row, 24, nullptr);
        ++row;
    }
    worksheet_set_column(ws, 0, 0, 5, nullptr);
    worksheet_set_column(ws, 1, 1, 44, nullptr);
    worksheet_set_column(ws, 2, 2, 12, nullptr);
    worksheet_set_column(ws, 3, 3, 22, nullptr);
    worksheet_set_column(ws, 4, 5, 16, nullptr);
    worksheet_set_column(ws, 6, 6, 30, nullptr);
    return row;
}

// The lines for the signatures of who checked and of the customer.
void WriteProtocolSignatures(lxw_worksheet* ws, const ProtocolFormats& f, const QStringList& general, int row) {
    row += 2;
    WriteText(ws, row, 1, QStringLiteral("Проверку провел:"), f.bold);
    WriteText(ws, row, 3, QStringLiteral("____________________"), nullptr);
    const QString performer = general.value(object::Performer).trimmed();
    if (!performer.isEmpty()) WriteText(ws, row, 4, QStringLiteral("/ ") + performer + QStringLiteral(" /"), nullptr);
    row += 2;
    WriteText(ws, row, 1, QStringLiteral("Представитель заказчика:"), f.bold);
    WriteText(ws, row, 3, QStringLiteral("____________________"), nullptr);
}

}  // namespace

bool WriteSafetyProtocol(const QString& path, const QStringList& general, const QStringList& cells,
                         const QList<bool>& included, const QDate& date, QString* error) {
    return report::WriteWorkbookAtomic(
        path,
        [&](const QByteArray& tmpName, QString* why) {
            lxw_workbook* wb = workbook_new(tmpName.constData());
            if (!wb) {
                if (why) *why = QStringLiteral("cannot create ") + path;
                return false;
            }
            lxw_worksheet* ws = workbook_add_worksheet(wb, QStringLiteral("Протокол").toUtf8().constData());
            worksheet_set_landscape(ws);
            worksheet_set_paper(ws, 9);
            worksheet_fit_to_pages(ws, 1, 0);
            const ProtocolFormats f = AddProtocolFormats(wb);
            int row = WriteProtocolHead(ws, f, general, date);
            row = WriteProtocolTable(ws, f, cells, included, row);
            WriteProtocolSignatures(ws, f, general, row);
            const lxw_error rc = workbook_close(wb);
            if (rc != LXW_NO_ERROR) {
                if (why) *why = QString::fromUtf8(lxw_strerror(rc));
                return false;
            }
            return true;
        },
        error);
}

}  // namespace docs
