#pragma once
// The attached files window: the documents of the object with their kind, the object's
// comment, and the file commands of the task pane's file-task page.

#include <QList>
#include <QWidget>

#include "app/ui/workbench.h"
#include "docs/documents.h"
#include "report/reportmodel.h"

class QFileSystemWatcher;
class QListView;
class QPlainTextEdit;
class QStackedWidget;
class QStandardItemModel;
class QTreeView;
class QModelIndex;

namespace docs {

class Docum : public QWidget, public app::ObjectWindowEvents, public app::FileTasks {
    Q_OBJECT
public:
    enum class View { LargeIcons, SmallIcons, Details, List };

    explicit Docum(app::Workbench& wb);
    ~Docum() override;

    void FillDocumentList();
    // A click on the entry of `name`; a double-click opens the selected document.
    void Docum_ListView2_Click(const QString& name);
    void Docum_ListView2_DblClick();
    void fileCommand(const QString& key) override;

    void activated() override;

    // Writes the comment; false (after the warning) when it could not be written.
    // Writes the comment; a comment that was not read whole is never written back.
    bool saveComment();

    View view() const { return view_; }
    QStringList documentNames() const;
    QString kindOf(const QString& name) const;
    QPlainTextEdit* Text1;
    QStackedWidget* ListView2;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool commentKept_ = false;  // the comment file was not read whole: it is left alone
    void buildDocumentList();
    void watchObjectFolder();
    void loadComment();
    void setView(View v);
    void createReport();
    void createTechReport();
    bool prepareCard(report::ReportModel& model, report::CardRun& run);
    void openProtocolMap();
    void offerToOpen(const QString& path, const QString& text);
    bool openDocument(const QString& path);

    app::Workbench& wb_;
    QStandardItemModel* model_;
    QListView* icons_;
    QTreeView* details_;
    View view_ = View::LargeIcons;
    QList<DocumentEntry> entries_;
    QFileSystemWatcher* watcher_ = nullptr;
};

// Opens a file with the application the platform has for it; when there is none, a message
// naming the file.
bool OpenWithApplication(app::Dialogs& dialogs, const QString& path);

}  // namespace docs
