#pragma once

#include <QPixmap>

// The small pictures of the tour windows, drawn at run time.
enum class TourPictureKey { Clock, InsertMarker };

QPixmap TourPicture(TourPictureKey key, int size);
