#include "editors/ListenerRegistration.h"

#include "doc/DocumentElement.h"

#include <utility>

ListenerRegistration::ListenerRegistration(std::shared_ptr<doc::DocumentElement> element,
                                           doc::DocumentChangeListener* listener)
    : m_element(std::move(element)), m_listener(listener)
{
    if (m_element != nullptr) {
        m_element->addListener(m_listener);
    }
}

ListenerRegistration::~ListenerRegistration()
{
    reset();
}

ListenerRegistration::ListenerRegistration(ListenerRegistration&& other) noexcept
    : m_element(std::move(other.m_element)), m_listener(std::exchange(other.m_listener, nullptr))
{
}

ListenerRegistration& ListenerRegistration::operator=(ListenerRegistration&& other) noexcept
{
    if (this != &other) {
        reset();
        m_element = std::move(other.m_element);
        m_listener = std::exchange(other.m_listener, nullptr);
    }
    return *this;
}

void ListenerRegistration::reset()
{
    if (m_element != nullptr) {
        m_element->removeListener(m_listener);
    }
    m_element.reset();
    m_listener = nullptr;
}
