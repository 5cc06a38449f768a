#include "categorytree.h"

const std::vector<CategoryTree::Category>& CategoryTree::all()
{
    static const std::vector<Category> categories = {
        {11116, 0, "Coins", "M\xC3\xBCnzen"},
        {11117, 11116, "World Coins", "Weltm\xC3\xBCnzen"},
        {11118, 11116, "Medals", "Medaillen"},
        {58058, 0, "Computers", "Computer"},
        {111422, 58058, "Laptops", "Notebooks"},
        {58059, 58058, "Keyboards", "Tastaturen"},
        {267, 0, "Books",
         "B\xC3\xBC"
         "cher"},
        {63, 267, "Comics", "Comics"},
        {268, 267, "Travel Guides", "Reisef\xC3\xBChrer"},
        {220, 0, "Toys", "Spielzeug"},
        {2624, 220, "Model Railways", "Modelleisenbahn"},
    };
    return categories;
}

const CategoryTree::Category* CategoryTree::find(int id)
{
    for (const Category& c : all())
        if (c.id == id)
            return &c;
    return nullptr;
}

const char* CategoryTree::name(const Category& category, Language language)
{
    return language == Language::German ? category.german : category.english;
}

std::vector<std::string> CategoryTree::path(int id, Language language)
{
    std::vector<std::string> names;
    for (const Category* c = find(id); c; c = c->parent ? find(c->parent) : nullptr)
        names.insert(names.begin(), name(*c, language));
    return names;
}

bool CategoryTree::within(int id, int ancestor)
{
    for (const Category* c = find(id); c; c = c->parent ? find(c->parent) : nullptr)
        if (c->id == ancestor)
            return true;
    return false;
}
