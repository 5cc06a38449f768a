#pragma once

#include "sitestyle.h"

#include <string>
#include <vector>

// The fixed category tree of the site, with English and German names. Every listing sits in
// a leaf two levels deep, so its category line always has a path with ">".
class CategoryTree
{
public:
    struct Category
    {
        int id;
        int parent; // 0 for a top-level category
        const char* english;
        const char* german;
    };

    static const std::vector<Category>& all();
    static const Category* find(int id);
    static const char* name(const Category& category, Language language);
    // Names from the top level down to `id`.
    static std::vector<std::string> path(int id, Language language);
    // Whether `id` is `ancestor` or below it.
    static bool within(int id, int ancestor);
    static int defaultLeaf() { return 11117; }
};
