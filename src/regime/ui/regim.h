#pragma once
// The regime editor: one field per measured input of the current regime, in the groups
// that fit the object. Enter saves the whole regime and, for the fields that change the
// results, recalculates it.

#include <QWidget>
#include <array>

#include "app/ui/workbench.h"
#include "engine/engine.h"
#include "regime/editorlayout.h"

class QAction;
class QGridLayout;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace regime {

class Regim : public QWidget, public app::ObjectWindowEvents, public app::RegimeEditorView {
    Q_OBJECT
public:
    explicit Regim(app::Workbench& wb);
    ~Regim() override;

    std::array<QLineEdit*, engine::kInputCount> T{};
    std::array<QLabel*, 31> L{};
    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4, *Frame5, *Frame7, *Frame8;
    QLabel* Label29;  // caption of the q5 row
    QPushButton* Command1;

    QStringList fieldTexts() const override;
    void setFieldTexts(const QStringList& texts) override;
    void clearFields();
    void setFramesEnabled(bool enabled);
    QStringList unitLabels() const override;
    void setUnitLabels(const QStringList& units) override;
    void focusFirstField() override;

    // Enter in field k.
    void Regim_T_Enter(int k);
    // Saves all 43 fields; with `calculate` also calculates, sorts and refreshes the graphs.
    // Returns false when the regime could not be saved (the user was told).
    bool saveAndCalculate(bool calculate);
    // A field changed since the regime was loaded or saved.
    bool hasPendingEdit() const;
    // Whether an input the results depend on changed since the last calculation (or the
    // load) of the regime, saved by an Enter in another field or not saved yet.
    bool needsCalculation() const;
    // Saves (and, when a changed field calls for it, calculates) what was typed without
    // Enter; true when nothing was pending or it was saved.
    bool commitPendingEdit();

    void showQ5Row(bool visible) override;
    void activated() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void build();
    void buildFrames();
    void buildFields();
    QGridLayout* placeRows();
    void layoutColumns(QWidget* content, QGridLayout* windowRows);
    void applyVisibility();
    void loadFirstRegime();
    void plainUnitLabels();
    void openUnits(int unit);
    // A key pressed in field k; true when it was handled here.
    bool fieldKeyPress(QLineEdit* t, int k, QKeyEvent* key);
    void setTabOrderOfFields();
    // Tab and Shift+Tab: the next or previous visible field in the tab order, wrapping
    // round, so no keystroke lands on a stop the user cannot see.
    void focusNeighbour(int k, bool forward);

    app::Workbench& wb_;
    EditorVisibility vis_;
    QList<QGroupBox*> frames_;
    QList<QLabel*> headings_;
    QStringList stored_;      // the field texts as loaded or last saved; Escape brings one back
    QStringList calculated_;  // the field texts as loaded or last calculated
    QScrollArea* scroll_ = nullptr;
};

}  // namespace regime
