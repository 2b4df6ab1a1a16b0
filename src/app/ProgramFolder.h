#pragma once

#include <QString>

// The per-user folder that holds the start-up picture "Koala.bmp" and "Controller Reply.txt".
// Created on first start and stocked with the sample pictures built into the program; pictures
// the operator already has there are never overwritten.
QString PrepareProgramFolder();
