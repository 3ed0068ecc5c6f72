#include "ui/widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QValidator>
#include <stdexcept>

namespace qz7 {

namespace {
// Accepts text whose every character has a single-byte (Latin-1) form.
class SingleByteValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c.unicode() > 0xFF) return Invalid;
        return Acceptable;
    }
};
}  // namespace

void replaceLine(QListWidget* list, int k, const QString& text) {
    if (k >= 0 && k < list->count()) {
        list->item(k)->setText(text);
        return;
    }
    if (k == list->count()) {
        list->addItem(text);
        return;
    }
    throw std::out_of_range("List index out of bounds (" + std::to_string(k) + ")");
}

void replaceLine(QListWidget* list, int k, const std::string& bytes) { replaceLine(list, k, fromBytes(bytes)); }

void replaceLineGrowing(QListWidget* list, int k, const std::string& bytes) {
    while (list->count() < k) list->addItem(QStringLiteral(" "));
    replaceLine(list, k, bytes);
}

int selectedLine(const QListWidget* list) {
    const QListWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected()) return -1;
    return list->row(item);
}

int toInteger(const QString& text) {
    bool ok = false;
    int sign = 1;
    QStringView digits(text);
    if (!digits.isEmpty() && (digits[0] == QLatin1Char('-') || digits[0] == QLatin1Char('+'))) {
        sign = digits[0] == QLatin1Char('-') ? -1 : 1;
        digits = digits.mid(1);
    }
    bool allDigits = !digits.isEmpty();
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) allDigits = false;
    const int value = allDigits ? digits.toInt(&ok) : 0;
    if (!allDigits || !ok)
        throw std::invalid_argument(QStringLiteral("'%1' は整数ではありません").arg(text).toStdString());
    return sign * value;
}

bool isTwoDigits(const QString& text) {
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    return text.size() == 2 && digit(text[0]) && digit(text[1]);
}

QString maskedText(const QLineEdit* field) {
    QString text = field->displayText();
    if (!field->inputMask().isEmpty()) text.replace(QLatin1Char('_'), QLatin1Char(' '));
    return text;
}

QLineEdit* makeMaskedEdit(const QString& objectName, const QString& mask, const QString& text, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(objectName);
    e->setInputMask(mask);
    e->setText(text);
    return e;
}

QString fromBytes(const std::string& bytes) { return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); }

std::string toBytes(const QString& text) {
    const QByteArray latin = text.toLatin1();
    return std::string(latin.constData(), static_cast<std::size_t>(latin.size()));
}

QLineEdit* makeNameEdit(const QString& objectName, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(objectName);
    e->setMaxLength(32);
    e->setValidator(new SingleByteValidator(e));
    return e;
}

QLabel* makeLabel(const QString& objectName, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(objectName);
    return l;
}

QPushButton* makeButton(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    return b;
}

}  // namespace qz7
