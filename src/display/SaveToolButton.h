#pragma once

#include <QToolButton>

// The Save tool: a face that saves by the default scope and an arrow that opens the choice of
// scopes. Assistive technology gets both, a press for the face and a menu for the arrow; a
// plain split tool button offers it only the menu.
class SaveToolButton : public QToolButton {
    Q_OBJECT
public:
    explicit SaveToolButton(QWidget *parent = nullptr);
};
