// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

// What xcb hands over to be freed by the caller (replies, events, errors,
// the host name of xcb_parse_display), freed when the holder goes:
//   const XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(...));
// No xcb reply is freed by hand anywhere else.
struct XcbFree
{
    void operator()(void *p) const { std::free(p); }
};
template<typename T> using XcbReply = std::unique_ptr<T, XcbFree>;
using XcbEvent = XcbReply<xcb_generic_event_t>;
using XcbError = XcbReply<xcb_generic_error_t>;
using XcbString = XcbReply<char>;
