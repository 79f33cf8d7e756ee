#pragma once
// The host's smart pointer and the host-allocated arrays that cross the interface.

#include <cstddef>
#include <exception>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace adsk::core {

class Base;
class Point3D;

// Host arrays (texts and numbers) are allocated by the host library; the caller
// copies them into standard containers and hands them back here.
void DeallocateArrayInternal(char* array);
void DeallocateArrayInternal(int* array);
void DeallocateArrayInternal(float* array);
void DeallocateArrayInternal(double* array);
void DeallocateArrayInternal(Point3D** array);
void DeallocateArrayInternal(char** array);

template <class T>
class Ptr {
  public:
    using element_type = T;

    Ptr() noexcept = default;
    Ptr(std::nullptr_t) noexcept {}
    // attach: take over the caller's reference instead of adding one.
    Ptr(const T* p, bool attach = true) : p_(const_cast<T*>(p)) {
        if (p_ && !attach) p_->addref();
    }
    Ptr(const Ptr& other) : p_(other.p_) {
        if (p_) p_->addref();
    }
    Ptr(Ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    // Upcasts keep the object; any other conversion casts and gives null on mismatch.
    template <class U, class = std::enable_if_t<!std::is_same_v<U, T>>>
    Ptr(const Ptr<U>& other) {
        if constexpr (std::is_convertible_v<U*, T*>) {
            p_ = other.get();
            if (p_) p_->addref();
        } else {
            if (other.get() && other.get()->isKindOf(T::classType())) {
                p_ = static_cast<T*>(const_cast<Base*>(static_cast<const Base*>(other.get())));
                p_->addref();
            }
        }
    }
    ~Ptr() {
        if (p_) p_->release();
    }

    void operator=(const Ptr& other) { reset(other.p_, false); }
    void operator=(Ptr&& other) noexcept {
        if (this == &other) return;
        T* old = std::exchange(p_, std::exchange(other.p_, nullptr));
        if (old) old->release();
    }
    template <class U, class = std::enable_if_t<!std::is_same_v<U, T>>>
    void operator=(const Ptr<U>& other) {
        *this = Ptr(other);
    }
    void operator=(const T* p) { reset(p, false); }
    void operator=(std::nullptr_t) { reset(); }

    T* get() const { return p_; }
    T* operator->() const {
        if (!p_) throw std::exception();
        return p_;
    }
    T& operator*() const {
        if (!p_) throw std::exception();
        return *p_;
    }
    operator bool() const { return p_ != nullptr; }

    // Gives up the reference without releasing it.
    T* detach() { return std::exchange(p_, nullptr); }
    void reset(const T* p = nullptr, bool attach = true) {
        T* fresh = const_cast<T*>(p);
        if (fresh && !attach) fresh->addref();
        T* old = std::exchange(p_, fresh);
        if (old) old->release();
    }

    template <class U>
    bool operator==(const Ptr<U>& other) const {
        return static_cast<const void*>(p_) == static_cast<const void*>(other.get());
    }
    bool operator==(std::nullptr_t) const { return p_ == nullptr; }
    template <class U>
    bool operator<(const Ptr<U>& other) const {
        return static_cast<const void*>(p_) < static_cast<const void*>(other.get());
    }

  private:
    T* p_ = nullptr;
};

namespace detail {
// Copies a host array into a standard container and frees the host copy.
inline std::string takeText(char* text) {
    if (!text) return std::string();
    std::string result(text);
    DeallocateArrayInternal(text);
    return result;
}

// Texts are handed over one by one, then the array that held them.
inline std::vector<std::string> takeTexts(char** texts, size_t count) {
    std::vector<std::string> result;
    for (size_t i = 0; texts && i < count; ++i) result.push_back(takeText(texts[i]));
    if (texts) DeallocateArrayInternal(texts);
    return result;
}

template <class T>
std::vector<T> takeArray(T* array, size_t count) {
    if (!array) return {};
    std::vector<T> result(array, array + count);
    DeallocateArrayInternal(array);
    return result;
}
}  // namespace detail

}  // namespace adsk::core
