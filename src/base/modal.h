#pragma once

#include <functional>

class QDialog;

// Every dialog the program shows modally goes through here, so tests can
// drive a dialog instead of blocking on it.
int runModal(QDialog& dialog);

// Replaces how dialogs are run; an empty handler restores exec().
using ModalHandler = std::function<int(QDialog&)>;
void setModalHandler(ModalHandler handler);
