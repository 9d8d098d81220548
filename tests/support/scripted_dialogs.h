#pragma once
// Dialogs for tests: records everything shown and answers from prepared queues.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <optional>

#include "app/dialogs.h"

namespace testing_support {

struct Shown {
    QString kind;  // "message", "question", "input", "folder", "open", "save", "color"
    QString text, title;
    app::Icon icon = app::Icon::None;
    QString preset;
    QString filter;  // open and save choosers
    bool withCancel = false;  // a question that offered "Отмена"
};

class ScriptedDialogs : public app::Dialogs {
public:
    QList<Shown> shown;
    QList<bool> saveAsksOverwrite;  // per save dialog: whether it would ask about a taken name itself
    std::deque<app::Answer> answers;                // for question(); default No when empty
    std::deque<std::optional<QString>> inputs;      // for input(); default Cancel when empty
    std::deque<QString> folders, files;             // for chooseFolder() / open / save
    std::deque<std::optional<QColor>> colors;
    QStringList notices;          // every regime notice, in order
    QList<QUrl> platformOpens;    // every file handed to the platform's applications
    bool platformCanOpen = true;  // what the platform answers: it could open them

    void message(const QString& text, const QString& title, app::Icon icon) override {
        shown.append({QStringLiteral("message"), text, title, icon, {}, {}});
    }
    app::Answer question(const QString& text, const QString& title, app::Icon icon, bool withCancel) override {
        shown.append({QStringLiteral("question"), text, title, icon, {}, {}, withCancel});
        return take(answers, app::Answer::No);
    }
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& preset) override {
        shown.append({QStringLiteral("input"), prompt, title, app::Icon::None, preset, {}});
        return take(inputs, std::optional<QString>());
    }
    QString chooseFolder(const QString& title) override {
        shown.append({QStringLiteral("folder"), {}, title, app::Icon::None, {}, {}});
        return take(folders, QString());
    }
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override {
        shown.append({QStringLiteral("open"), {}, title, app::Icon::None, folder, filter});
        return take(files, QString());
    }
    QString saveFileName(const QString& title, const QString& suggested, const QString& filter,
                         bool askOverwrite = true) override {
        shown.append({QStringLiteral("save"), {}, title, app::Icon::None, suggested, filter});
        saveAsksOverwrite.append(askOverwrite);
        return take(files, QString());
    }
    std::optional<QColor> chooseColor(const QColor&) override {
        shown.append({QStringLiteral("color"), {}, {}, app::Icon::None, {}, {}});
        return take(colors, std::optional<QColor>());
    }

    void notice(QWidget*, const QString& message) override { notices.append(message); }
    bool openWithPlatform(const QUrl& url) override {
        platformOpens.append(url);
        return platformCanOpen;
    }

    QStringList messages() const {
        QStringList l;
        for (const auto& s : shown)
            if (s.kind == u"message") l.append(s.text);
        return l;
    }
    int count(const QString& kind) const {
        int n = 0;
        for (const auto& s : shown) n += s.kind == kind;
        return n;
    }

private:
    template <class T, class D>
    static T take(std::deque<T>& q, D def) {
        if (q.empty()) return T(def);
        T v = q.front();
        q.pop_front();
        return v;
    }
};

}  // namespace testing_support
