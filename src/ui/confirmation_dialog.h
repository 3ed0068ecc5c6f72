// TForm5, "Confirmation": "Are you sure?" with OK and Cancel; ask() is true
// only for an OK given to this question.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace qz7 {


class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent);

    // Shows the dialog modally with `what` OK will do under the question;
    // true after OK.
    bool ask(const QString& what);

    QLabel* Label1;        // "Are you sure?"
    QLabel* Label2;        // what OK will do, and on which recorders
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Cancel"

public slots:
    void Button1Click();
    void Button2Click();
};

// "on 127.0.0.1 and 127.0.0.2", or "on 127.0.0.1" for a recorder alone.
QString onHosts(const QStringList& hosts);

}  // namespace qz7
