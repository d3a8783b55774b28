#pragma once

// The sections of a filter page, in the order they stand on screen. The option rows (sort, type,
// area, year) are the only ones a filter row acts on.
enum class ZV_HomeScreemSectionType {
    sort,
    type,
    area,
    year,
    advert,
    list,
    line,
};
