#pragma once

#include <memory>
#include <optional>
#include <utility>

namespace quorrin {

// An optional value kept on the heap: a pointer's size when absent. For the
// large parts most values of a type lack (a block's todo data or
// attachment), so that the many values without them stay small. Copies copy
// the value; otherwise it reads and writes as std::optional does.
template <typename T>
class HeapOptional {
public:
    HeapOptional() = default;
    HeapOptional(std::nullopt_t) {}
    HeapOptional(const T& value)
        : m_value(std::make_unique<T>(value))
    {
    }
    HeapOptional(T&& value)
        : m_value(std::make_unique<T>(std::move(value)))
    {
    }
    HeapOptional(const std::optional<T>& value)
        : m_value(value ? std::make_unique<T>(*value) : nullptr)
    {
    }
    HeapOptional(std::optional<T>&& value)
        : m_value(value ? std::make_unique<T>(std::move(*value)) : nullptr)
    {
    }
    HeapOptional(const HeapOptional& other)
        : m_value(other ? std::make_unique<T>(*other) : nullptr)
    {
    }
    HeapOptional(HeapOptional&&) noexcept = default;
    HeapOptional& operator=(const HeapOptional& other)
    {
        if (this != &other)
            m_value = other ? std::make_unique<T>(*other) : nullptr;
        return *this;
    }
    HeapOptional& operator=(HeapOptional&&) noexcept = default;
    HeapOptional& operator=(std::nullopt_t)
    {
        m_value.reset();
        return *this;
    }

    bool has_value() const { return bool(m_value); }
    explicit operator bool() const { return has_value(); }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return m_value.get(); }
    const T* operator->() const { return m_value.get(); }
    T& value()
    {
        if (!m_value)
            throw std::bad_optional_access();
        return *m_value;
    }
    const T& value() const
    {
        if (!m_value)
            throw std::bad_optional_access();
        return *m_value;
    }
    template <typename U>
    T value_or(U&& fallback) const
    {
        return m_value ? *m_value : T(std::forward<U>(fallback));
    }
    void reset() { m_value.reset(); }
    template <typename... Args>
    T& emplace(Args&&... args)
    {
        m_value = std::make_unique<T>(std::forward<Args>(args)...);
        return *m_value;
    }
    std::optional<T> toOptional() const { return m_value ? std::optional<T>(*m_value) : std::nullopt; }
    operator std::optional<T>() const { return toOptional(); }

    friend bool operator==(const HeapOptional& a, const HeapOptional& b)
    {
        return a.has_value() == b.has_value() && (!a || *a == *b);
    }
    friend bool operator==(const HeapOptional& a, std::nullopt_t) { return !a; }

private:
    std::unique_ptr<T> m_value;
};

} // namespace quorrin
