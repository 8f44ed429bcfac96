#pragma once
// The cookies the user keeps: the names of Ignore.ini's "Cookie" lines. A name with neither "/" nor "@"
// is a host, kept in every browser: a cookie is kept when its host equals it, equals "." + it, or ends
// in "." + it, compared without regard to case. A host name without a dot, with a wildcard, or empty
// keeps nothing (it would keep a whole top-level domain, or everything) and is reported. A name with
// "/" or "@" keeps its Internet Explorer meaning only: a cookie's site and path, compared exactly.
#include "common/Types.h"

#include <string>
#include <string_view>

class TCookieKeepList {
public:
    TCookieKeepList() = default;
    explicit TCookieKeepList(const TWideStrings& names);

    // A cookie's host as a browser stores it ("example.com", ".example.com").
    bool KeepsHost(std::wstring_view host) const;
    // An Internet Explorer cookie by its site and path ("www.example.com/"): an exact entry, or a kept host.
    bool KeepsInternetExplorerCookie(const std::wstring& tail) const;

    const TWideStrings& Hosts() const { return Hosts_; }
    // The entries that keep nothing, as written.
    const TWideStrings& Ignored() const { return Ignored_; }

private:
    TWideStrings Exact_;
    TWideStrings Hosts_; // lower case, without a leading dot
    TWideStrings Ignored_;
};
