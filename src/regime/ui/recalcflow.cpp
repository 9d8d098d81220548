#include "regime/ui/recalcflow.h"

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/recalcflow.h"
#include "app/ui/workbench.h"
#include "app/writerefusal.h"
#include "regime/calculation.h"
#include "regime/regimestore.h"

namespace regime {

bool CalculateAndShow(app::Workbench& wb, QWidget* noticeParent) {
    app::AppState& s = wb.state();
    app::Dialogs& d = wb.dialogs();
    const CalcResult r = CalculateCurrentRegime(s, [&d, noticeParent](const QString& m) { d.notice(noticeParent, m); });
    if (r.outcome == CalcOutcome::FileError)
        d.message(app::WriteFailureText(
                      s, QStringLiteral("Результаты не сохранены"),
                      QStringLiteral("Ошибка записи файла. Результаты не сохранены: ") + s.currentResultsFile),
                  app::kProgramTitle, app::Icon::Warning);
    const QString warning = SortRegimeList(s);
    if (!warning.isEmpty()) d.message(warning, app::kProgramTitle, app::Icon::Warning);
    app::AfterCalculation(wb);
    return r.outcome != CalcOutcome::FileError;
}

}  // namespace regime
