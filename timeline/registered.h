// CRegistered<T>: every object of a class joins one intrusive list per T.
// Construction links the object in at the head, destruction unlinks it, so a
// static object registers itself before main and leaves at process exit.
//
// The links point at the CRegistered part, not at T: while this base is
// being constructed (and again while it is destroyed) there is no T yet, and
// a cast to T* then would be undefined. Only the accessors cast, and they
// see objects that are fully built.
#pragma once

template <typename T>
class CRegistered {
public:
    static T* Head() { return AsT(s_head); }
    T* Prev() const { return AsT(m_prev); }
    T* Next() const { return AsT(m_next); }

protected:
    explicit CRegistered(bool link) {
        if (link) {
            m_next = s_head;
            s_head = this;
            if (m_next) m_next->m_prev = this;
        }
    }

    ~CRegistered() {
        if (!m_prev) {
            if (m_next) m_next->m_prev = nullptr;
            if (s_head == this) s_head = m_next;
        } else {
            if (m_next) m_next->m_prev = m_prev;
            m_prev->m_next = m_next;
        }
        m_prev = m_next = nullptr;
    }

    CRegistered(const CRegistered&) = delete;
    CRegistered& operator=(const CRegistered&) = delete;

private:
    static T* AsT(CRegistered* node) { return static_cast<T*>(node); }

    CRegistered* m_prev = nullptr;
    CRegistered* m_next = nullptr;
    // Constant-initialised (null) before any dynamic initialisation runs, so
    // static registrants in any translation unit find an empty list.
    static inline CRegistered* s_head = nullptr;
};
