#pragma once
// ConsistentValue<T>: one value accumulated over a multiple selection. It is consistent when
// every value fed in since the last clear() equals the first one; doubles compare exactly.

namespace DataModelDialogs {

template <class T>
class ConsistentValue {
public:
    ConsistentValue() = default;
    explicit ConsistentValue(const T& v) { add(v); }

    void add(const T& v) {
        if (!assigned_) {
            value_ = v;
            assigned_ = true;
            consistent_ = true;
        } else if (!(v == value_)) {
            consistent_ = false;
        }
    }
    bool isConsistent() const { return assigned_ && consistent_; }
    bool isAssigned() const { return assigned_; }
    // Meaningful only while isConsistent().
    const T& get() const { return value_; }
    void clear() {
        assigned_ = false;
        consistent_ = false;
    }
    // Applying it then leaves each object's own value.
    void markInconsistent() {
        assigned_ = true;
        consistent_ = false;
    }

private:
    T value_{};
    bool assigned_ = false;
    bool consistent_ = false;
};

}  // namespace DataModelDialogs
