#include "cli/q5.h"

#include <optional>

#include "cli/objectfolder.h"
#include "cli/output.h"
#include "core/names.h"
#include "engine/engine.h"
#include "regime/regimestore.h"
#include "tools/q5.h"

namespace cli {

namespace {

// Takes "--xlsx FILE" out of `args`; the file, empty when not given.
QString TakeXlsx(QStringList& args) {
    QString xlsx;
    for (int i = 0; i < args.size();) {
        if (args[i] == u"--xlsx" && i + 1 < args.size()) {
            xlsx = args[i + 1];
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    return xlsx;
}

// The regime's q5 surfaces computed from its q5 file; the exit code when they cannot be.
std::optional<int> ComputeQ5(app::AppState& s, const QString& regimeFile, tools::Q5Computation& c) {
    QString error;
    if (!tools::ComputeRegimeQ5(s, regimeFile, c, &error)) {
        Err() << regimeFile << ": " << error << "\n";
        return 1;
    }
    if (!c.fileFound) {
        Err() << "no q5 file for " << regimeFile << ": " << tools::Q5FileName(regimeFile) << "\n";
        return 1;
    }
    // the heat output comes from the fuel flow: with a unit the calculation does not know
    // it would be a plausible 0
    const std::string unknownUnit = engine::CheckRegimeData(s.calcInputs());
    if (unknownUnit.rfind("Неизвестная единица измерения", 0) == 0) {
        Err() << core::JoinPath(s.currentObjectFolder, regimeFile) << ": " << QString::fromStdString(unknownUnit)
              << "\n";
        return 3;
    }
    return std::nullopt;
}

// The surfaces in use, one a line, with the totals.
void PrintQ5(const app::AppState& s, const QString& regimeFile, const tools::Q5Computation& c) {
    Out() << s.currentObjectName << "\t" << regimeFile << "\n";
    Out() << "Теплопроизводительность, кВт:\t" << (c.heatOutput.isEmpty() ? QStringLiteral("-") : c.heatOutput)
          << "\n";
    Out() << "Поверхность\tF,м2\tt пов,оС\tt воз.,оС\tориентация\tматериал\tαк\tαл\tQ5i,кВт\n";
    for (int sf = 1; sf <= tools::kQ5SurfaceCount; ++sf) {
        const int b = tools::Q5Cell(sf, tools::Area);
        bool any = false;
        for (int k = 0; k < 8; ++k) any |= !c.cells[b + k].trimmed().isEmpty();
        if (!any) continue;
        Out() << sf;
        for (int k = 0; k < 8; ++k) Out() << "\t" << c.cells[b + k];
        Out() << "\n";
    }
    Out() << "Сумма Q5, кВт:\t" << c.cells[tools::kQ5TotalCell] << "\n";
    Out() << "q5, %:\t" << c.cells[tools::kQ5PercentCell] << "\n";
}

// The q5 workbook of the regime; false (told on the error output) when it is not written.
bool WriteQ5Xlsx(app::AppState& s, const QString& regimeFile, const tools::Q5Computation& c, const QString& xlsx) {
    // only for the regime's position in the list: a list that cannot be read whole
    // would give another regime's position
    const QString listWarning = regime::FillRegimeList(s);
    if (!listWarning.isEmpty()) {
        Err() << s.currentObjectFolder << ": " << listWarning << "; книга q5 не записана\n";
        return false;
    }
    const int position = s.regimeList.find(regimeFile);
    const tools::Q5Export e{s.currentObjectName, regimeFile,
                            position >= 0 ? tools::Q5ComboEntry(position + 1) : QString(), c.heatOutput, c.cells};
    QString error;
    if (!tools::ExportQ5Xlsx(xlsx, e, &error)) {
        Err() << "cannot write " << xlsx << ": " << error << "\n";
        return false;
    }
    return true;
}

}  // namespace

int Q5Command(QStringList args) {
    ObjectOptions options;
    TakeObjectOptions(args, options);
    const QString xlsx = TakeXlsx(args);
    if (args.size() != 2) {
        Err() << "Usage: kalvaro-cli q5 OBJECTDIR REGIMEFILE [--xlsx FILE]\n";
        return 2;
    }
    app::AppState s;
    QString error, regimeFile;
    if (!xlsx.isEmpty() && !CheckOutputPath(xlsx, error)) {
        Err() << error << "\n";
        return 1;
    }
    // a regime of this object only, never a path to another object's regime
    if (!UseObjectFolder(s, args[0], options, error) || !ObjectRegimeFile(s, args[1], regimeFile, error)) {
        Err() << error << "\n";
        return 1;
    }
    tools::Q5Computation c;
    if (const std::optional<int> code = ComputeQ5(s, regimeFile, c)) return *code;
    PrintQ5(s, regimeFile, c);
    if (!xlsx.isEmpty() && !WriteQ5Xlsx(s, regimeFile, c, xlsx)) return 1;
    return 0;
}

}  // namespace cli
