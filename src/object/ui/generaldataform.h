#pragma once
// The layout shared by the new-object window and the general data window: the 19 general
// data entries as combo boxes COD(0..18) on two pages, the unit texts TOD(10..12) beside the
// fuel entries, the page buttons, and the keyboard rules applied to each typed character.

#include <QStringList>
#include <QWidget>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

namespace object {

class GeneralDataForm : public QWidget {
    Q_OBJECT
public:
    enum class KeyRule { Free, NoTyping, Numeric, QuoteToBlank };

    QComboBox* COD[19] = {};
    QLabel* TOD[13] = {};  // only 10, 11 and 12 exist
    QLabel* Caption7 = nullptr;   // "Наименование  объекта" or "Объект"
    QLabel* Caption13 = nullptr;  // "Станционный №" or "Ст. №"
    QPushButton* Command1 = nullptr;  // "Горелка / топливо >>"
    QPushButton* Command2 = nullptr;  // "<< Установка"
    QStackedWidget* pages = nullptr;

    QStringList fields() const;
    // Fills the 19 fields (missing entries empty) and applies boiler type, fuel units and
    // q5 mode to what is shown.
    void setFields(const QStringList& values);
    int page() const;  // 1 or 2
    void showPage(int page);

    // Entry 1 shows entry 2 (steam) or entry 6 (hot water); other texts change nothing.
    void applyBoilerType();
    // Unit texts TOD 10..12 follow the fuel; other texts leave them.
    void applyFuelUnits();
    // Entry 17 is hidden while entry 3 is "расч. каждый.".
    void applyQ5Mode();
    // Offers `names` in the list of entry 0 (the executor); the text shown stays as it is
    // and, being unchanged, is not reported as an edit.
    void offerPerformers(const QStringList& names);

protected:
    explicit GeneralDataForm(bool newObject, QWidget* parent = nullptr);

    virtual KeyRule keyRule(int entry) const = 0;
    // Gives the entries of the Numeric rule the program's number field; called by each
    // window's constructor, once its rules are known.
    void useNumberFields();
    // Called once a window has added its own widgets (buttons, picture): the window then
    // opens at the size all of it asks for.
    void contentBuilt();
    // A value picked from entry's list.
    virtual void entryPicked(int entry) { (void)entry; }
    // The focus left the entry.
    virtual void entryLeft(int entry) { (void)entry; }
    // Escape in an entry: puts back its saved text; false when there is nothing to put back
    // (the key then goes on to the window).
    virtual bool restoreEntry(int entry) {
        (void)entry;
        return false;
    }

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Layout pieces for the windows: the row of buttons under the pages and the area right
    // of the pages (a picture in the new-object window).
    QHBoxLayout* buttonRow = nullptr;
    QVBoxLayout* sideColumn = nullptr;

private:
    QScrollArea* scroll_ = nullptr;
    void buildEntries(bool newObject);
    QGridLayout* buildTopRows(bool newObject);
    QGroupBox* buildInstallationFrame(bool newObject);
    QGroupBox* buildBurnerFrame();
    QGroupBox* buildFuelFrame();
    int entryOf(QObject* o) const;
};

}  // namespace object
