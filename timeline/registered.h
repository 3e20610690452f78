// CRegistered<T>: every object of a class joins one intrusive list per T.
// Construction links the object in at the head, destruction unlinks it, so a
// static object registers itself before main and leaves at process exit.
#pragma once

template <typename T>
class CRegistered {
public:
    static T* Head() { return s_head; }
    T* Prev() const { return m_prev; }
    T* Next() const { return m_next; }

protected:
    explicit CRegistered(bool link) {
        if (link) {
            m_next = s_head;
            s_head = Self();
            if (m_next) m_next->CRegistered<T>::m_prev = Self();
        }
    }

    ~CRegistered() {
        if (!m_prev) {
            if (m_next) m_next->CRegistered<T>::m_prev = nullptr;
            if (s_head == Self()) s_head = m_next;
        } else {
            if (m_next) m_next->CRegistered<T>::m_prev = m_prev;
            m_prev->CRegistered<T>::m_next = m_next;
        }
        m_prev = m_next = nullptr;
    }

    CRegistered(const CRegistered&) = delete;
    CRegistered& operator=(const CRegistered&) = delete;

private:
    T* Self() { return static_cast<T*>(this); }

    T* m_prev = nullptr;
    T* m_next = nullptr;
    // Constant-initialised (null) before any dynamic initialisation runs, so
    // static registrants in any translation unit find an empty list.
    static inline T* s_head = nullptr;
};
