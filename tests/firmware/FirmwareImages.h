#pragma once

#include <QByteArray>

#include <random>

// An image as varied as a firmware, so that a block written to the wrong
// place or a byte dropped shows in the flash.
inline QByteArray TestImage(int size, unsigned seed = 17) {
    std::mt19937 random(seed);
    QByteArray image(size, '\0');
    for (char& byte : image) {
        byte = static_cast<char>(random() & 0xFF);
    }
    return image;
}

// The size of the maker's image: 14 blocks of 4096 bytes and one of 2912.
constexpr int MakersImageSize = 60256;
