#include "ui/glyph_icons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace qz7 {

namespace {

const QColor kBlue(0x10, 0x30, 0xC0);
const QColor kGreen(0x10, 0xA0, 0x30);
const QColor kRed(0xD0, 0x10, 0x10);
const QColor kWordInk(0x10, 0x20, 0x60);
const QColor kDisabled(0xA0, 0xA0, 0xA0);

using PaintFn = std::function<void(QPainter&, const QRectF&, const QColor* overrideColor)>;

// Paints on demand at the requested size instead of scaling a bitmap.
class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(PaintFn paint) : paint_(std::move(paint)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setRenderHint(QPainter::TextAntialiasing, true);
        // A small margin keeps the shape off the button's frame.
        const qreal margin = qMax<qreal>(1.0, qMin(rect.width(), rect.height()) * 0.08);
        const QRectF area = QRectF(rect).adjusted(margin, margin, -margin, -margin);
        paint_(*painter, area, mode == QIcon::Disabled ? &kDisabled : nullptr);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new GlyphEngine(paint_); }
    QString key() const override { return QStringLiteral("qz7glyph"); }

private:
    PaintFn paint_;
};

// The largest square centred in r.
QRectF square(const QRectF& r) {
    const qreal side = qMin(r.width(), r.height());
    return QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
}

// A triangle filling box, pointing right or left.
QPainterPath triangle(const QRectF& box, bool right) {
    QPainterPath path;
    if (right) {
        path.moveTo(box.left(), box.top());
        path.lineTo(box.right(), box.center().y());
        path.lineTo(box.left(), box.bottom());
    } else {
        path.moveTo(box.right(), box.top());
        path.lineTo(box.left(), box.center().y());
        path.lineTo(box.right(), box.bottom());
    }
    path.closeSubpath();
    return path;
}

void fill(QPainter& p, const QPainterPath& path, const QColor& color) {
    p.setPen(QPen(color.darker(130), 1.0));
    p.setBrush(color);
    p.drawPath(path);
}

PaintFn shape(Glyph glyph) {
    return [glyph](QPainter& p, const QRectF& area, const QColor* over) {
        const QRectF sq = square(area);
        auto ink = [over](const QColor& c) { return over ? *over : c; };
        switch (glyph) {
        case Glyph::StepReverse:
        case Glyph::StepForward: {
            // Narrow and tall, as the arrow buttons are.
            const qreal w = qMin(area.width(), area.height() * 0.6);
            const QRectF box(area.center().x() - w / 2, area.top(), w, area.height());
            fill(p, triangle(box, glyph == Glyph::StepForward), ink(kBlue));
            break;
        }
        case Glyph::Rewind:
        case Glyph::FastForward: {
            const bool right = glyph == Glyph::FastForward;
            const QRectF box = sq.adjusted(0, sq.height() * 0.15, 0, -sq.height() * 0.15);
            const QRectF first(box.left(), box.top(), box.width() / 2, box.height());
            const QRectF second(box.center().x(), box.top(), box.width() / 2, box.height());
            fill(p, triangle(first, right), ink(kBlue));
            fill(p, triangle(second, right), ink(kBlue));
            break;
        }
        case Glyph::Play:
            fill(p, triangle(sq.adjusted(sq.width() * 0.12, 0, -sq.width() * 0.05, 0), true), ink(kGreen));
            break;
        case Glyph::Record:
        case Glyph::RecordLit: {
            QPainterPath dot;
            dot.addEllipse(sq.adjusted(sq.width() * 0.1, sq.height() * 0.1, -sq.width() * 0.1, -sq.height() * 0.1));
            fill(p, dot, ink(glyph == Glyph::Record ? kRed : QColor(Qt::white)));
            break;
        }
        case Glyph::Stop: {
            QPainterPath box;
            box.addRect(sq.adjusted(sq.width() * 0.15, sq.height() * 0.15, -sq.width() * 0.15, -sq.height() * 0.15));
            fill(p, box, ink(kBlue));
            break;
        }
        }
    };
}

PaintFn word(const QString& text) {
    return [text](QPainter& p, const QRectF& area, const QColor* over) {
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(100);
        // Scale the 100 px measure down to fill the area in both directions.
        const QRectF measured = QFontMetricsF(f).tightBoundingRect(text);
        if (measured.width() <= 0 || measured.height() <= 0) return;
        const qreal scale = qMin(area.width() / measured.width(), area.height() / measured.height());
        f.setPixelSize(qMax(6, static_cast<int>(100 * scale * 0.9)));
        p.setFont(f);
        p.setPen(over ? *over : kWordInk);
        p.drawText(area, Qt::AlignCenter, text);
    };
}

}  // namespace

QIcon glyphIcon(Glyph glyph) { return QIcon(new GlyphEngine(shape(glyph))); }

QIcon wordIcon(const QString& text) { return QIcon(new GlyphEngine(word(text))); }

}  // namespace qz7
