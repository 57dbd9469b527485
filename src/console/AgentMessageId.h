#pragma once

// Message ids of the service link: a frame's lParam, and the number of the
// window message by which the frame is delivered.
enum AgentMessageId : unsigned int {
  AGENT_MSG_SERVER_SETTINGS = 1525,
  AGENT_MSG_CLIENT_STATE = 1526,
  AGENT_MSG_SET_CLIENT_PASSWORD = 1527,
  AGENT_MSG_CLIENT_ONLINE = 1529,
  AGENT_MSG_CLIENT_OFFLINE = 1530,
  AGENT_MSG_RESTORE_COPY = 1531,
  AGENT_MSG_STRATEGY_RUN_LOG = 1532,
  AGENT_MSG_COPY_LIST_CHANGED = 1533,
  AGENT_MSG_DISABLE_CLIENT = 1534,
  AGENT_MSG_ENABLE_CLIENT = 1535,
  AGENT_MSG_LIST_DRIVES = 1536,
  AGENT_MSG_FILE_LIST = 1537,
  AGENT_MSG_LIST_DIRECTORY = 1538,
  AGENT_MSG_HIPS_FILTER_NEW = 1539,
  AGENT_MSG_HIPS_FILTER_MODIFY = 1540,
  AGENT_MSG_HIPS_DELETE = 1541,
  AGENT_MSG_HIPS_TRUST_ADD = 1543,
  AGENT_MSG_HIPS_TRUST_MODIFY = 1544,
  AGENT_MSG_STRATEGY_RUN = 1546,
  AGENT_MSG_STRATEGY_PAUSE = 1547,
  AGENT_MSG_STRATEGY_STOP = 1548,
  AGENT_MSG_STRATEGY_NEW = 1549,
  AGENT_MSG_STRATEGY_DELETE = 1550,
  AGENT_MSG_STRATEGY_MODIFY = 1551,
};

// The private window message that carries the link's socket events, and the
// window timers that reconnect it and that read on after the user's input. Every
// timer of the owning window reaches the link, so their ids stay clear of the small
// ids windows give their own timers.
enum : unsigned int {
  AGENT_LINK_SOCKET_MESSAGE = 1798,
  // Sent to the owning window each time the link has connected: what pages asked the
  // service for before then was refused, so they ask again.
  AGENT_LINK_CONNECTED_MESSAGE = 1799,
  AGENT_LINK_RECONNECT_TIMER = 0x4C4B,
  AGENT_LINK_READ_TIMER = 0x4C4C,
  AGENT_LINK_RECONNECT_DELAY_MS = 3000,
  AGENT_LINK_DEFAULT_PORT = 4667,
};
