#pragma once

#include <QString>

// The fixed catalogue of user messages, addressed by number (0 to 28).

inline constexpr int kMessageCount = 29;
inline const QString kDefaultMessageTitle = QStringLiteral("Melodara Player");

// The catalogue text of `number`; the empty text for a number outside it.
QString MessageText(int number);

// Shows message `number` with the platform `style` (0 = OK, 1 = OK and
// Cancel) and returns the button pressed (1 = OK, 2 = Cancel). An empty
// `title` selects the default title, which is written back into it.
int ShowMessage(int number, int style, QString& title);

// The same under the default title, for callers that do not keep it.
int ShowMessage(int number, int style = 0);
