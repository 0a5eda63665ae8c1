#pragma once

#include <QString>

class KjvText;

// The King James text that ships with the program (kjv.tsv.gz, found like the program's other
// data), read once in the background from start-up on, and the passages the game shows after an
// answer.
namespace Scripture {

// Starts reading the text, so that the first passage shows at once.
void Preload();

// The text, waiting for the reading when it is still under way; null when the file is missing
// or cannot be read.
const KjvText *Text();

struct Passage
{
    QString title; // the reference as the question gives it
    QString body;  // the verses, each after its number ("13 And God said ..."); empty when not found
};

// The passage a reference names: a verse, a range ("Genesis 6:13-14"), a whole chapter. A
// reference the text cannot find gives the reference alone.
Passage Find(const QString &reference);
}
