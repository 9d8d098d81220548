#pragma once
// The object list of the object list window, in its four views.

#include <QWidget>

class QListView;
class QModelIndex;
class QStackedLayout;
class QStandardItemModel;
class QTreeView;

namespace store {

// lvAll: one model shown as large icons, small icons, details (one column with the header
// text) or a list. Emits selected() when an entry is chosen by mouse or keyboard (also a
// second click on the current entry) and openRequested() on a double click or Enter.
class ObjectListView : public QWidget {
    Q_OBJECT
public:
    enum View { LargeIcons, SmallIcons, Details, List };

    explicit ObjectListView(QWidget* parent = nullptr);

    void setEntries(const QStringList& names, const QString& header);
    int count() const;
    QString entry(int row) const;
    QString header() const;
    int currentRow() const;
    // Makes `row` the current entry without emitting selected() (-1 clears).
    void setCurrentRowQuietly(int row);

    View view() const { return view_; }
    void setView(View v);
    void nextView();
    // The widget that shows the entries in the current view.
    QWidget* currentView() const;
    QListView* listView() const { return list_; }
    QTreeView* detailsView() const { return details_; }

Q_SIGNALS:
    void selected(int row);
    void openRequested(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onCurrentChanged(const QModelIndex& current);

    QStandardItemModel* model_;
    QListView* list_;
    QTreeView* details_;
    QStackedLayout* stack_;
    View view_ = LargeIcons;
    bool quiet_ = false;
    bool keyboard_ = false;
};

}  // namespace store
