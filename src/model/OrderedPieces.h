#pragma once

#include <QByteArray>

#include <functional>

// Makes the pieces of a large file on several threads and hands them over in their order on
// the calling thread, so that making the next pieces and writing the last one overlap. At
// most a few pieces wait at a time, so memory stays small. With one piece, or one processor,
// everything runs on the calling thread.
//
// make(i, out) fills piece i (from 0 to count - 1) and must not touch anything that another
// piece changes; take(piece) gets them in order. An exception from either stops the work
// and comes out of this call once every helper thread has ended.
void MakePiecesInOrder(int count, const std::function<void(int, QByteArray &)> &make,
                       const std::function<void(const QByteArray &)> &take);
