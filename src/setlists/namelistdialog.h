#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

// A list of names beside add, edit, delete and close buttons: the shape
// shared by the set-list and album dialogs. Close accepts the dialog; the
// other buttons are the dialog's own to connect.
class NameListDialog : public QDialog {
    Q_OBJECT

public:
    QPushButton* cmdAdd;
    QPushButton* cmdEdit;
    QPushButton* cmdDel;
    QPushButton* cmdClose;

protected:
    NameListDialog(const QString& objectName, const QString& title, const QString& listName,
                   QWidget* parent);

    QListWidget* nameList() const { return names_; }
    // Shows `names` with the first selected, then sets the buttons.
    void showNames(const QStringList& names);
    // Edit and delete are enabled while the list holds a name.
    void setButtons();
    // The selected name, or empty when nothing is selected.
    QString selectedName() const;
    QStringList allNames() const;
    // Removes the selected name; nothing is selected afterwards.
    void removeSelected();

private:
    QListWidget* names_;
};
