#pragma once

// The listings the site starts with: one of every kind of page a sniper must read, on the
// English, German and French sites. Times are relative to the start, so every run gives the
// same listings with the same item numbers.
class DefaultScript
{
public:
    static const char* text();
};
