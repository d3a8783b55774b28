#pragma once

// The sections of the favourites grid; only `list` is ever shown (the banner is a view above it).
enum class ZV_CollectRowType {
    ad,
    list,
};
