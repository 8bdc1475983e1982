// The map stream and section model in one include: the file layer, the
// section filter and the line lists.
#pragma once

#include "mp/errors.hpp"
#include "mp/io_result.hpp"
#include "mp/line_file.hpp"
#include "mp/line_list.hpp"
#include "mp/mp_class.hpp"
#include "mp/mp_parser.hpp"
