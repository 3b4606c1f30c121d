#pragma once

// Everything a user of the codec needs: the reader and its scalar readers, the
// skipper, the writer, arrays, and the AJSON record declaration.

#include "ajson/char_table.hpp"
#include "ajson/declare.hpp"
#include "ajson/document.hpp"
#include "ajson/escape.hpp"
#include "ajson/exception.hpp"
#include "ajson/field_list.hpp"
#include "ajson/json_impl.hpp"
#include "ajson/lite_write.hpp"
#include "ajson/reader.hpp"
#include "ajson/record.hpp"
#include "ajson/scalars.hpp"
#include "ajson/skip.hpp"
#include "ajson/string_ref.hpp"
#include "ajson/string_stream.hpp"
#include "ajson/vector.hpp"
