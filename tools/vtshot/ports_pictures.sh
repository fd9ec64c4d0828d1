#!/usr/bin/env bash
# The README's pictures of finding a port, taken on a made-up machine (a sysfs and /dev tree in
# a scratch folder): a USB serial adapter with its stable name, a USB modem-class adapter, an
# on-board port with a UART and one without. No device of this machine is looked at.
#   tools/vtshot/ports_pictures.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$1
out=$2
# The same short path every time, so the pictures show whole paths and change only when the
# window does. mkdir refuses a folder that is there already (another run's, or anybody's).
tree=/tmp/vtpic
if ! mkdir -m 700 "$tree"; then
  echo "ports_pictures.sh: $tree is there already; remove it if it is a leftover of an earlier run" >&2
  exit 1
fi
trap 'rm -rf "$tree"' EXIT
export QT_QPA_PLATFORM=offscreen

# tty, its device folder below sys/devices, then for USB: the USB device folder, vendor, product
# id, maker, product, serial number, by-id name.
add_tty() {
  local tty=$1 device=$2
  mkdir -p "$tree/sys/devices/$device/tty/$tty" "$tree/sys/class/tty" "$tree/dev"
  ln -s "$tree/sys/devices/$device" "$tree/sys/devices/$device/tty/$tty/device"
  ln -s "$tree/sys/devices/$device/tty/$tty" "$tree/sys/class/tty/$tty"
  : >"$tree/dev/$tty"
}
add_usb() {
  local tty=$1 device=$2 usb=$3
  add_tty "$tty" "$device"
  printf '%s\n' "$4" >"$tree/sys/devices/$usb/idVendor"
  printf '%s\n' "$5" >"$tree/sys/devices/$usb/idProduct"
  printf '%s\n' "$6" >"$tree/sys/devices/$usb/manufacturer"
  printf '%s\n' "$7" >"$tree/sys/devices/$usb/product"
  printf '%s\n' "$8" >"$tree/sys/devices/$usb/serial"
  mkdir -p "$tree/dev/serial/by-id"
  ln -s "../../$tty" "$tree/dev/serial/by-id/$9"
}
add_uart() {
  add_tty "$1" "platform/serial8250/serial8250:0/serial8250:0.$2"
  echo "$3" >"$tree/sys/class/tty/$1/type"
}

usb1=pci0000:00/0000:00:14.0/usb1
add_usb ttyUSB0 "$usb1/1-2/1-2:1.0/ttyUSB0" "$usb1/1-2" 0403 6001 FTDI "FT232R USB UART" A50285BI \
  usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
add_usb ttyACM0 "$usb1/1-3/1-3:1.0" "$usb1/1-3" 2341 0043 Arduino "Uno R3" 75833353035351F0E1A1 \
  usb-Arduino_Uno_R3_75833353035351F0E1A1-if00
add_uart ttyS0 0 4
add_uart ttyS1 1 0
mkdir -p "$tree/sys/devices/virtual/tty/tty1" && ln -s "$tree/sys/devices/virtual/tty/tty1" "$tree/sys/class/tty/tty1"

shot="$build/tools/vtshot/vtshot"
by_id="$tree/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"
"$shot" "$out/comport.png" --page 3 --roots "$tree" --link "com1=$by_id" 2>/dev/null
"$shot" "$out/ports_dialog.png" --page 3 --roots "$tree" --link "com1=$by_id" --ports 2>/dev/null
