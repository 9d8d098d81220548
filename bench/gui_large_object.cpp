// What a user waits for in the windows with a 1,000-regime object: opening it, Enter in a
// calculating field of the regime editor, "Всех" (all regimes recalculated), a graph of all
// regimes and the regime card (workbook and PDF). The object is made as bench/recalc-vs-floor.sh
// makes it: the first regime of the hot-water demo object, copied 1,000 times.
//
//   QT_QPA_PLATFORM=offscreen build/bench/gui_large_object [RUNS]
//
// Prints the median and the range of each step over RUNS runs (default 3) on a fresh object.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>

#include "app/firststart.h"
#include "app/startup.h"
#include "app/state.h"
#include "core/names.h"
#include "regime/regimestore.h"
#include "regime/ui/regim.h"
#include "regime/ui/sreg.h"
#include "results/ui/graf.h"
#include "results/ui/graphtasks.h"
#include "results/ui/navig.h"
#include "docs/ui/docum.h"
#include "shell/mdiform1.h"
#include "shell/objectwindows.h"
#include "shell/workbench.h"
#include "support/scripted_dialogs.h"

namespace {

constexpr int kRegimes = 1000;

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

bool CopyFolderFiles(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QString& f : QDir(from).entryList(QDir::Files))
        if (!QFile::copy(core::JoinPath(from, f), core::JoinPath(to, f))) return false;
    return true;
}

// A program folder with the template and the object "Big".
bool MakeHome(const QString& home, const QString& data) {
    if (!CopyFolderFiles(core::JoinPath(data, "Template"), core::JoinPath(home, "Template"))) return false;
    const QString src = core::JoinPath(data, QStringLiteral("demo/Все объекты/Котельная школы №3"));
    const QString obj = core::JoinPath(home, QStringLiteral("Все объекты/Big"));
    QDir().mkpath(obj);
    for (const char* f : {"OData.txt", "Ediny.txt"})
        if (!QFile::copy(core::JoinPath(src, f), core::JoinPath(obj, f))) return false;
    for (int n = 1; n <= kRegimes; ++n) {
        const QString name = regime::RegimeFileName(n);
        if (!QFile::copy(core::JoinPath(src, regime::RegimeFileName(1)), core::JoinPath(obj, name)) ||
            !QFile::copy(core::JoinPath(src, regime::kResultsPrefix + regime::RegimeFileName(1)),
                         core::JoinPath(obj, regime::kResultsPrefix + name)))
            return false;
    }
    for (const QString& f : QDir(obj).entryList(QDir::Files))
        QFile::setPermissions(core::JoinPath(obj, f), QFile::ReadOwner | QFile::WriteOwner);
    return regime::WriteCounter(obj, regime::kLastNumberFile, kRegimes, true) &&
           regime::WriteCounter(obj, regime::kCountFile, kRegimes, true);
}

double Ms(QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const QString data = app::InstalledDataFolder(QDir::cleanPath(QApplication::applicationDirPath() + "/.."));
    std::map<std::string, std::vector<double>> times;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir dir;
        if (!MakeHome(dir.path(), data)) {
            std::fprintf(stderr, "cannot make the object from %s\n", qPrintable(data));
            return 1;
        }
        app::AppState state;
        app::SetFolders(state, dir.path());
        testing_support::ScriptedDialogs dialogs;
        shell::Workbench wb(state, dialogs);
        shell::InstallObjectWindows(wb);
        wb.frame().resize(1200, 820);
        wb.frame().show();
        Settle();

        QElapsedTimer t;
        t.start();
        const bool opened = wb.openObject(QStringLiteral("Big"));
        Settle();
        times["open"].push_back(Ms(t));
        if (!opened || state.regimeList.rows.size() != kRegimes) {
            std::fprintf(stderr, "the object did not open with %d regimes\n", kRegimes);
            return 1;
        }

        auto* editor = wb.window<regime::Regim>(app::WindowKind::Regim);
        editor->T[0]->setText(QStringLiteral("45"));
        t.restart();
        editor->Regim_T_Enter(0);
        Settle();
        times["enter"].push_back(Ms(t));

        auto* list = wb.window<regime::SReg>(app::WindowKind::SReg);
        t.restart();
        list->button(QStringLiteral("Всех"))->trigger();
        Settle();
        times["all"].push_back(Ms(t));

        wb.showTab(2);
        Settle();
        auto* tasks = wb.window<results::Navig>(app::WindowKind::Navig)->graphTasks();
        tasks->button(QStringLiteral("Y"))->trigger();
        int row = 0;
        for (int i = 0; i < tasks->entries().size(); ++i)
            if (tasks->entries()[i].key == u"R4 R3") row = i;
        t.restart();
        tasks->Navig_LWg_ItemClick(row);
        Settle();
        times["graph"].push_back(Ms(t));
        const int points = wb.window<results::Graf>(app::WindowKind::Graf)->pointRows();

        wb.showTab(3);
        Settle();
        QAction* create = nullptr;
        for (QAction* a : wb.window<results::Navig>(app::WindowKind::Navig)->Toolbar3->actions())
            if (a->data().toString() == u"Создать") create = a;
        t.restart();
        if (create) create->trigger();
        Settle();
        times["card"].push_back(Ms(t));
        if (run == 0)
            std::printf("graph points %d; messages: %s\n", points,
                        qPrintable(dialogs.messages().join(QStringLiteral(" | ")).left(300)));
        wb.closeObject();
        Settle();
    }
    std::printf("%d regimes, %d runs, ms (median [min..max]):\n", kRegimes, runs);
    for (const char* step : {"open", "enter", "all", "graph", "card"}) {
        std::vector<double> v = times[step];
        std::sort(v.begin(), v.end());
        std::printf("  %-6s %9.1f  [%.1f .. %.1f]\n", step, v[v.size() / 2], v.front(), v.back());
    }
    return 0;
}
