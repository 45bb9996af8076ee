#pragma once

#include <QIcon>
#include <QPixmap>

// The small pictures of the tour windows, drawn at run time.
enum class TourPictureKey { Location, Clock, InsertMarker };

QPixmap TourPicture(TourPictureKey key, int size);
// The picture at list and combo sizes.
QIcon TourIcon(TourPictureKey key);
