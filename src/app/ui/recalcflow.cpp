#include "app/ui/recalcflow.h"

#include <QApplication>
#include <QProgressDialog>

#include "app/dialogs.h"
#include "app/state.h"
#include "app/ui/workbench.h"

namespace app {

void WithRecalcProgress(QWidget* parent, AppState& s, const std::function<void(const ProgressStep&)>& work) {
    QProgressDialog progress(QStringLiteral("Расчет режимов..."), QStringLiteral("Отмена"), 0, 1, parent);
    progress.setWindowTitle(kProgramTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    // the editor is refilled once at the end, not for every regime on the way
    auto editorHook = s.setEditorFields;
    s.setEditorFields = nullptr;
    work([&](int done, int all) {
        progress.setMaximum(all);
        progress.setValue(done);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    s.setEditorFields = editorHook;
    progress.reset();
}

void AfterCalculation(Workbench& wb) {
    if (auto* list = wb.window<RegimeListView>(WindowKind::SReg)) list->refresh();
    if (auto* pane = wb.window<TaskPaneView>(WindowKind::Navig)) pane->refreshMiniGraphIfShown();
}

}  // namespace app
