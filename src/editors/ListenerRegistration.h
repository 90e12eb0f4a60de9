#pragma once

#include <memory>

namespace doc {
class DocumentChangeListener;
class DocumentElement;
} // namespace doc

// A listener's place on the list of one element, held for as long as this object: it leaves exactly
// the element it joined, even when the element's owner has since linked it elsewhere (a colour given
// another parent), and keeps that element alive until then.
class ListenerRegistration
{
public:
    ListenerRegistration() = default;
    // A null element registers nothing.
    ListenerRegistration(std::shared_ptr<doc::DocumentElement> element, doc::DocumentChangeListener* listener);
    ~ListenerRegistration();
    ListenerRegistration(const ListenerRegistration&) = delete;
    ListenerRegistration& operator=(const ListenerRegistration&) = delete;
    ListenerRegistration(ListenerRegistration&& other) noexcept;
    ListenerRegistration& operator=(ListenerRegistration&& other) noexcept;

    // Leaves the element's list.
    void reset();
    const std::shared_ptr<doc::DocumentElement>& element() const { return m_element; }

private:
    std::shared_ptr<doc::DocumentElement> m_element;
    doc::DocumentChangeListener* m_listener = nullptr;
};
