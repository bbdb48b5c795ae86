'''dbusmock template: the desktop portal's Inhibit interface and nothing else.

Inhibit(window, flags, options) exports a Request at the path the portal gives it (from the
caller's unique name and the handle_token option) and logs the call; Close on that Request lets it
go. HeldRequests on the mock interface lists the requests still held.
'''

import dbus

from dbusmock import MOCK_IFACE, mockobject

BUS_NAME = 'org.freedesktop.portal.Desktop'
MAIN_OBJ = '/org/freedesktop/portal/desktop'
MAIN_IFACE = 'org.freedesktop.portal.Inhibit'
SYSTEM_BUS = False

REQUEST_IFACE = 'org.freedesktop.portal.Request'
REQUESTS = MAIN_OBJ + '/request/'
KNOWN_FLAGS = 1 | 2 | 4 | 8  # logout, user switch, suspend, idle


def load(mock, parameters):
    pass


def close(request):
    path = request.__dbus_object_path__
    request.remove_from_connection()
    del mockobject.objects[path]


@dbus.service.method(MAIN_IFACE, in_signature='sua{sv}', out_signature='o', sender_keyword='sender')
def Inhibit(self, window, flags, options, sender):
    if flags == 0 or flags & ~KNOWN_FLAGS:
        raise dbus.exceptions.DBusException('bad flags', name='org.freedesktop.portal.Error.InvalidArgument')
    token = str(options.get('handle_token', 't'))
    path = REQUESTS + sender[1:].replace('.', '_') + '/' + token
    if path in mockobject.objects:
        raise dbus.exceptions.DBusException('token in use', name='org.freedesktop.portal.Error.Failed')
    self.AddObject(path, REQUEST_IFACE, {}, [('Close', '', '', close)])
    return dbus.ObjectPath(path)


@dbus.service.method(MOCK_IFACE, in_signature='', out_signature='as')
def HeldRequests(self):
    return dbus.Array(sorted(p for p in mockobject.objects if p.startswith(REQUESTS)), signature='s')
