// serial_log.h — a hex trace of a serial port's traffic: every byte written
// and read, the line settings, time-outs and purges, one timestamped line
// each, appended to a file. Off unless $PXCM_SERIAL_LOG names the file.
#pragma once

#include <memory>
#include <string>

#include "platform/serial_port.h"

// Wraps `port` in a tracing port writing to `logPath` (append); null stays
// null.
std::unique_ptr<plat::SerialPort> tracedSerialPort(std::unique_ptr<plat::SerialPort> port,
                                                   const std::string& portName,
                                                   const std::string& logPath);

// tracedSerialPort to $PXCM_SERIAL_LOG when it is set and not empty, else
// `port` itself.
std::unique_ptr<plat::SerialPort> withSerialLog(std::unique_ptr<plat::SerialPort> port,
                                                const std::string& portName);
