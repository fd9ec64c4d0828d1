#include "cli/command_line.h"
#include "protocol/listed_ports.h"
#include "protocol/text_figures.h"
#include "tools/vtctl/options.h"
#include "tools/vtctl/system.h"

namespace vtctl {

std::string helpText() {
    auto figures = protocol::textFigures();
    figures.insert(figures.end(), {{"VT_LAST_LISTED_PORT", std::to_string(protocol::kListedPorts)},
                                   {"VT_BAUD_USAGE", baudChoice("|")},
                                   {"VT_BAUD_RATES", baudChoice(" or ", true)}});
    for (auto& text : systemHelp()) figures.push_back(std::move(text));
    return cli::filledIn(
        R"(Usage: vtctl [--port P]... [--baud @VT_BAUD_USAGE@] [--quiet-ms MS] [--timeout SECONDS] [--raw]
             COMMAND [ARGS]

Talks to the Vantorix unit as the configurator's window does: the same bytes on the wire, the
same reply waits (at most 2 s each; a closed port or a vanished device ends a wait at once).

Commands:
  write FILE.h      write the channel table of a register header ("header file", "Save..."):
                    "W", CR and the @VT_IMAGE_BYTES@-byte image, each byte after the unit's reply; on a
                    terminal a progress line on stderr (bytes sent of @VT_WRITE_BYTES@, time so far)
  channel N         switch the unit to memory channel N (0 ... @VT_LAST_CHANNEL@)
  init              initialise the unit ("I")
  dump              "D" and CR; prints every byte received from "D" on until the line has been
                    quiet for --quiet-ms, 16 to a row in hexadecimal (not interpreted)
  send HEX...       send each byte as it is (one or two hex digits each, "0x" allowed), with no
                    wait and no CR, as the window's hidden edit does; prints what comes back
                    until the line is quiet, as dump does
  ports             what com1 ... com@VT_LAST_LISTED_PORT@ (or each --port) open, what that device is and
@VT_PORTS_HELP@

Options:
@VT_PORT_HELP@
  --baud B          @VT_BAUD_RATES@
  --quiet-ms MS     dump and send: how long the line must stay quiet (default 200)
  --timeout SECONDS dump and send: the longest the whole reply may take (1 ... 3600, default
                    10); past it the command fails
  --raw             dump and send: the bytes as they came, not as hexadecimal rows (one port)
  -h, --help        this text

Exit status:
  0  done
  1  the command failed: no reply from the unit, the device has gone, a reply past --timeout,
     or the port could not be opened (the reason is on stderr; with several ports: any port
     failed, after all finished), or stdout could not be written;
@VT_STOP_HELP@
  2  bad command line
  3  the header file could not be read or is not a register header

Examples:
  vtctl write 20240131_0930param.h
  vtctl --port com3 --baud 115200 channel 5
  vtctl --port @VT_DEVICE_EXAMPLE@ dump
  vtctl send 49 0D
  vtctl --port com1 --port com2 --port com3 --port com4 write table.h
@VT_LOOP_EXAMPLE@
)",
        figures);
}

}  // namespace vtctl
