#pragma once

#include "platform/FormPlacement.h"

class QWidget;

// Moves `frm` over `owner` (or to the middle of the primary screen when owner is null),
// keeping its size. Never fails: a form that cannot be placed stays where it was.
void CenterForm(QWidget *frm, const QWidget *owner);

// The outer rectangle of a top-level widget in twips on the primary screen's scale.
FormRectTwips formRectTwips(const QWidget *widget);
