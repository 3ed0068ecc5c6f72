// Small helpers every window uses: list lines replaced by index, decimal text
// to integer, masked fields read as they show, and name fields that hold
// single-byte characters only.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <string>

namespace qz7 {

// Replaces line k. Line k == count() appends; beyond that throws
// "List index out of bounds (k)", which ends the handler.
void replaceLine(QListWidget* list, int k, const QString& text);
void replaceLine(QListWidget* list, int k, const std::string& bytes);
// Writes line k, first filling any missing lines before it with " ".
void replaceLineGrowing(QListWidget* list, int k, const std::string& bytes);
// The selected line, or -1.
int selectedLine(const QListWidget* list);

// Decimal text to integer; anything else throws "'%s' は整数ではありません".
int toInteger(const QString& text);

// Exactly two decimal digits: a complete two-digit field, safe to send as BCD.
bool isTwoDigits(const QString& text);

// A masked field's text as it shows, with empty positions as blanks.
QString maskedText(const QLineEdit* field);
// A masked edit field (Qt mask syntax), with its initial text.
QLineEdit* makeMaskedEdit(const QString& objectName, const QString& mask, const QString& text, QWidget* parent);

// Names are byte strings: one character per byte (Latin-1) on screen.
QString fromBytes(const std::string& bytes);
std::string toBytes(const QString& text);
// An edit field for a name: at most 32 characters, single-byte characters only.
QLineEdit* makeNameEdit(const QString& objectName, QWidget* parent);

QLabel* makeLabel(const QString& objectName, const QString& text, QWidget* parent);
QPushButton* makeButton(const QString& objectName, const QString& caption, QWidget* parent);

}  // namespace qz7
