#include "transfer/FolderDrive.h"

#include "transfer/DriveType.h"

std::vector<Drive> FolderDrive::drives() const {
    return {Drive{folder_.string(), folder_, drivetype::removable}};
}
