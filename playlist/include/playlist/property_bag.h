#pragma once
// The host's stored property set of a control: named values that the host window keeps with
// its own layout. Controls read them when they are created and write them when the host
// saves. Names are matched without regard to case (stored sets often hold them in lower case).

#include <QHash>
#include <QString>
#include <QVariant>

namespace playlist {

class PropertyBag {
 public:
  virtual ~PropertyBag() = default;

  // The stored value of `name`, or `defaultValue` when the set holds no such entry.
  virtual QVariant ReadProperty(const QString& name, const QVariant& defaultValue) const = 0;

  // Stores `value` under `name`. A value equal to `defaultValue` may be left out of the set,
  // since reading it back yields the default anyway.
  virtual void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) = 0;
};

// A property set held in memory, for hosts that keep their layout themselves and for tests.
class MemoryPropertyBag : public PropertyBag {
 public:
  QVariant ReadProperty(const QString& name, const QVariant& defaultValue) const override {
    auto it = values_.find(name.toLower());
    return it == values_.end() ? defaultValue : it.value();
  }

  void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) override {
    if (value == defaultValue) {
      values_.remove(name.toLower());
    } else {
      values_.insert(name.toLower(), value);
    }
  }

  bool Contains(const QString& name) const { return values_.contains(name.toLower()); }
  int size() const { return static_cast<int>(values_.size()); }

 private:
  QHash<QString, QVariant> values_;  // keyed by the lower-case name
};

}  // namespace playlist
