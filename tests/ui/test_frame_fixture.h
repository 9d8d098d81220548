#pragma once
// A running frame on a temporary program folder, with scripted dialogs and helpers that
// drive the real widgets.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <functional>
#include <QFileInfo>
#include <QFile>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <memory>

#include "app/state.h"
#include "store/ui/fropen.h"
#include "shell/mdiform1.h"
#include "shell/objectwindows.h"
#include "shell/workbench.h"
#include "core/names.h"
#include "support/scripted_dialogs.h"
#include "support/testdirs.h"

namespace frame_testing {

using testing_support::ScriptedDialogs;
using testing_support::TestHome;

// Types text character by character (Cyrillic included) into a widget.
inline void Type(QWidget* w, const QString& text) {
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Picks an entry of a combo box's list as the user does with the mouse.
inline void Pick(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
    Q_EMIT box->activated(i);
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.ok());
        home.apply(state);
        startDir = QDir::currentPath();
        wb = std::make_unique<shell::Workbench>(state, dialogs);
        shell::InstallObjectWindows(*wb);
        frame().show();
    }
    void TearDown() override {
        wb.reset();
        QDir::setCurrent(startDir);
    }

    shell::MDIForm1& frame() { return wb->frame(); }
    // Lets pending events run, deletions of closed windows included.
    static void settle() {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    store::frOpen* list() { return wb->objectList(); }

    store::frOpen* openList() {
        frame().O->trigger();
        store::frOpen* l = list();
        if (l) QApplication::processEvents();
        return l;
    }

    int row(const QString& name) {
        for (int i = 0; i < list()->lvAll->count(); ++i)
            if (list()->lvAll->entry(i) == name) return i;
        return -1;
    }

    QAbstractItemView* view() { return qobject_cast<QAbstractItemView*>(list()->lvAll->currentView()); }

    QPoint entryPoint(int r) {
        QAbstractItemView* v = view();
        v->doItemsLayout();
        return v->visualRect(v->model()->index(r, 0)).center();
    }

    // A mouse click on the entry of that name in the current view of lvAll.
    void clickEntry(const QString& name) {
        const int r = row(name);
        ASSERT_GE(r, 0) << name.toStdString();
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, entryPoint(r));
    }
    void doubleClickEntry(const QString& name) {
        const int r = row(name);
        ASSERT_GE(r, 0) << name.toStdString();
        const QPoint p = entryPoint(r);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, p);
    }

    QStringList entries() {
        QStringList l;
        for (int i = 0; i < list()->lvAll->count(); ++i) l.append(list()->lvAll->entry(i));
        return l;
    }

    // State of the three object commands (menu items and toolbar buttons 4, 5, 6); fails
    // the test when menu and toolbar disagree.
    bool objectCommandsEnabled() {
        const bool menu = frame().Cop_OD->isEnabled();
        EXPECT_EQ(frame().nnam->isEnabled(), menu);
        EXPECT_EQ(frame().Del_o->isEnabled(), menu);
        for (int k : {4, 5, 6}) EXPECT_EQ(frame().toolbarButton(k)->isEnabled(), menu) << "button " << k;
        return menu;
    }

    void expectIdle() {
        EXPECT_EQ(frame().windowTitle(), QStringLiteral("Kalvaro"));
        EXPECT_FALSE(frame().closeButton()->isEnabled());
        EXPECT_FALSE(objectCommandsEnabled());
        EXPECT_TRUE(frame().n->isEnabled());
        EXPECT_TRUE(frame().O->isEnabled());
        EXPECT_TRUE(frame().toolbarButton(1)->isEnabled());
        EXPECT_TRUE(frame().toolbarButton(2)->isEnabled());
        EXPECT_FALSE(frame().TabStrip1->isEnabled());
        EXPECT_FALSE(frame().C->isEnabled());
        EXPECT_TRUE(frame().Toolbar1->isEnabled());
    }

    QString objectFolder(const QString& name) { return core::JoinPath(home.objects(), name); }

    // Copies the files of a demo object into the test's objects folder, writable, leaving out
    // those `skip` names; returns the copy's folder.
    QString copyDemoObject(const QString& name, const std::function<bool(const QString&)>& skip = {}) {
        const QString from = QStringLiteral(KALVARO_SOURCE_DIR "/demo/Все объекты/") + name;
        const QString to = objectFolder(name);
        QDir().mkpath(to);
        QDirIterator it(from, QDir::Files);
        while (it.hasNext()) {
            const QString f = it.next();
            const QString file = QFileInfo(f).fileName();
            if (skip && skip(file)) continue;
            const QString target = core::JoinPath(to, file);
            QFile::copy(f, target);
            QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        return to;
    }

    TestHome home;
    app::AppState state;
    ScriptedDialogs dialogs;
    std::unique_ptr<shell::Workbench> wb;
    QString startDir;
};

}  // namespace frame_testing
