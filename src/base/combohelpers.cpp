#include "base/combohelpers.h"

#include <QComboBox>

void SelectComboItem(QComboBox* combo, const QString& text) {
    if (!combo || combo->count() == 0)
        return;
    if (text.isEmpty()) {
        combo->setCurrentIndex(0);
        return;
    }
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == text) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}
