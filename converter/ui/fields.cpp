#include "converter/ui/fields.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "converter/settings/drawing_settings.h"
#include "converter/ui/form_widgets.h"

namespace ui {

void NumberTypingFilter::install(QLineEdit* edit) { edit->installEventFilter(new NumberTypingFilter(edit)); }

bool NumberTypingFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const QString text = key->text();
  // Keys without text (arrows, Delete, shortcuts with Ctrl) are editing, not typing.
  if (text.isEmpty() || key->modifiers() & Qt::ControlModifier) return false;
  for (const QChar ch : text)
    if (!ch.isPrint() && ch != QChar(8)) return false;
  for (const QChar ch : text)
    if (!settings::acceptsTypedCharacter(ch.unicode())) return true;
  return false;
}

CountSpinBox::CountSpinBox(int low, int high, QWidget* parent) : QAbstractSpinBox(parent), low_(low), high_(high) {
  setAccelerated(true);
}

void CountSpinBox::stepBy(int steps) {
  bool ok = false;
  long long value = text().trimmed().toLongLong(&ok);
  if (!ok) value = low_;
  value = std::clamp<long long>(value + steps, low_, high_);
  setText(QString::number(value));
}

QValidator::State CountSpinBox::validate(QString& input, int&) const {
  for (const QChar ch : input)
    if (!ch.isDigit()) return QValidator::Invalid;
  return QValidator::Acceptable;
}

void AngleSpinBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    setValue(value() + (event->position().y() < height() / 2.0 ? 100 : -100));
    event->accept();
    return;
  }
  QSpinBox::mousePressEvent(event);
}

void AngleSpinBox::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

std::uint32_t captionColour(std::uint32_t colour) { return colour == 0x808080 ? 0xFFFFFF : 0xFFFFFF - colour; }

namespace {
QString cssColour(std::uint32_t bgr) { return bgrColour(bgr).name(); }
}  // namespace

void paintInColour(QCheckBox* box, std::uint32_t colour) {
  colour &= 0xFFFFFF;
  box->setStyleSheet(QString("QCheckBox { background-color: %1; color: %2; padding: 2px 6px 2px 2px; }")
                         .arg(cssColour(colour), cssColour(captionColour(colour))));
}

}  // namespace ui
