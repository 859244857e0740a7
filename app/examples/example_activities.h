// The example activities and blocks that come with the program, so the home
// screen is not empty on a fresh install.  They are built here from parts,
// as a teacher would lay them out, and written by the program's own design
// writer into the Books and Blocks folders beside the program
// (tools/make_examples.cpp runs this after every build).
#pragma once

#include <QString>
#include <QStringList>

// Writes the activities into books and the blocks into blocks (folders made
// when missing); the paths written, empty when a file could not be written.
QStringList WriteExampleActivities(const QString& books, const QString& blocks);
