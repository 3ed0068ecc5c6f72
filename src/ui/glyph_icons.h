// Button glyphs drawn with QPainter at whatever size the button asks for, so
// they stay sharp on any screen: transport arrows, play, record, stop, and
// the short words (Jog, Var, Mrk, Cue, Srh) that some buttons show instead of
// a caption.
#pragma once

#include <QIcon>
#include <QString>

namespace qz7 {

enum class Glyph {
    StepReverse,  // single blue triangle pointing left
    StepForward,  // single blue triangle pointing right
    Rewind,       // double blue triangle pointing left
    FastForward,  // double blue triangle pointing right
    Play,         // green triangle pointing right
    Record,       // red dot
    RecordLit,    // white dot, on the red of a lit REC button
    Stop,         // blue square
};

QIcon glyphIcon(Glyph glyph);
// A word drawn as the button's picture, scaled to fill it.
QIcon wordIcon(const QString& word);

}  // namespace qz7
