// "Confirmation": "Are you sure?" with OK and Cancel; ask() is true
// only for an OK given to this question.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace qz7 {


class ConfirmationDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConfirmationDialog(QWidget* parent);

    // Shows the dialog modally with `what` OK will do under the question;
    // true after OK.
    bool ask(const QString& what);

    QLabel* questionLabel;  // "Are you sure?"
    QLabel* whatLabel;  // what OK will do, and on which recorders
    QPushButton* okButton;
    QPushButton* cancelButton;

public slots:
    void confirm();
    void cancel();
};

// "on 127.0.0.1 and 127.0.0.2", or "on 127.0.0.1" for a recorder alone.
QString onHosts(const QStringList& hosts);

}  // namespace qz7
