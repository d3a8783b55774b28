#pragma once

#include <new>
#include <utility>

// Holds a process-wide object that is never destroyed, so that code running late in exit (other
// statics' destructors, worker threads) never meets a dead singleton.
template<typename T> class NoDestructor {
public:
    template<typename... Args> explicit NoDestructor(Args&&... args)
    {
        ::new (static_cast<void*>(m_storage)) T(std::forward<Args>(args)...);
    }
    NoDestructor(const NoDestructor&) = delete;
    NoDestructor& operator=(const NoDestructor&) = delete;

    T& operator*() { return *get(); }
    T* operator->() { return get(); }
    T* get() { return std::launder(reinterpret_cast<T*>(m_storage)); }

private:
    alignas(T) unsigned char m_storage[sizeof(T)];
};
