// A replaceable backend for one operating-system concern (file dialog, message box, printer,
// registry, program start, random source): the real one unless a test has put its own in
// place with an Override, which puts the previous one back when it goes out of scope.
// Define a seam constinit: it is then ready before any other static object is made.
// Plain C++: the model uses it without Qt.
#pragma once

#include <type_traits>
#include <utility>

namespace quelvane {

template <typename Interface>
class Override;

template <typename Interface>
class Seam {
public:
    // `real` makes (on first use) and returns the real backend.
    constexpr explicit Seam(Interface &(*real)()) : real_(real) {}
    Seam(const Seam &) = delete;
    Seam &operator=(const Seam &) = delete;

    Interface &Current() const { return installed_ ? *installed_ : real_(); }

private:
    friend class Override<Interface>;
    Interface &(*real_)();
    Interface *installed_ = nullptr;
};

// Puts `backend` in place for the guard's lifetime. Guards nest: each restores what it found.
template <typename Interface>
class [[nodiscard]] Override {
public:
    Override(Seam<Interface> &seam, std::type_identity_t<Interface> &backend)
        : seam_(seam), previous_(std::exchange(seam.installed_, &backend))
    {
    }
    ~Override() { seam_.installed_ = previous_; }
    Override(const Override &) = delete;
    Override &operator=(const Override &) = delete;

private:
    Seam<Interface> &seam_;
    Interface *previous_;
};

template <typename Interface>
Override(Seam<Interface> &, std::type_identity_t<Interface> &) -> Override<Interface>;

// A seam's real backend of type Real, made on first use: never, in a test that replaces it.
template <typename Interface, typename Real>
Interface &MadeOnFirstUse()
{
    static Real real;
    return real;
}

} // namespace quelvane
