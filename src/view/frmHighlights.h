#pragma once

#include "view/HighlightRule.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// Edits the highlight rules: add, change, reorder, switch on and off, remove. The rules are
// the dialog's own until OK; rules left without a text are dropped then.
class frmHighlights : public QDialog {
    Q_OBJECT
public:
    frmHighlights(const std::vector<HighlightRule> &rules, QWidget *owner);

    std::vector<HighlightRule> rules() const;

private:
    void addRule();
    void removeRule();
    void moveRule(int by);
    void showRule();
    void ruleEdited();
    void appendItem();
    void refreshItem(int row);
    void updateButtons();

    std::vector<HighlightRule> mRules;
    bool mShowing = false;
    QListWidget *lstRules;
    QPushButton *cmdAdd;
    QPushButton *cmdRemove;
    QPushButton *cmdUp;
    QPushButton *cmdDown;
    QLineEdit *txtText;
    QCheckBox *chkMatchCase;
    QCheckBox *chkNotZero;
    QComboBox *cboColour;
    QComboBox *cboScope;
};
