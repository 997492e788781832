#pragma once

class QWidget;

// The treasurer's guide, compiled into the program, in a window of its own
// beside `owner`: the one window for as long as `owner` lives, brought to
// the front when it is already open.
void showGuide(QWidget *owner);
