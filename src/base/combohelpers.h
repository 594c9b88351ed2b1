#pragma once

#include <QString>

class QComboBox;

// Selects the entry whose text is exactly `text` (case-sensitive); the
// empty text selects the first entry. Without a match the selection stays.
void SelectComboItem(QComboBox* combo, const QString& text);
