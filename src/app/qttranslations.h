#pragma once

class QCoreApplication;

// Installs Qt's own Japanese texts (standard buttons such as "キャンセル"),
// whatever the system's language: the whole interface is Japanese.
// False when Qt's translations are not installed; Qt's English texts stay.
bool installQtTranslations(QCoreApplication& app);
