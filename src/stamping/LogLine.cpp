#include "stamping/LogLine.h"

#include "core/TimeText.h"

std::string log_line(std::string_view store, const DateTime& t, std::string_view code, std::string_view name, int mode,
                     std::string_view planned_start, std::string_view planned_leave, std::string_view idm) {
    std::string line;
    line.reserve(96);
    line.append(store).append(",");
    line.append(timetext::log_stamp(t)).append(",");
    line.append(code).append(",");
    line.append(name).append(",");
    line.append(std::to_string(mode)).append(",");
    line.append(planned_start).append(",");
    line.append(planned_leave).append(",");
    line.append(idm);
    return line;
}
